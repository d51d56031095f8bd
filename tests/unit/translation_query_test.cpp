#include "translation/translation_page.h"

#include <gtest/gtest.h>

#include <string>

using namespace nimbrel;

namespace {

TEST(TranslationQuery, RequestPath) {
    EXPECT_EQ(TranslationRequestPath("Wind", "en_fr"), "/tr?trtext=Wind&lp=en_fr");
    EXPECT_EQ(TranslationRequestPath("", "en_fr"), "/tr?trtext=&lp=en_fr");
    EXPECT_EQ(TranslationRequestPath("Relative Humidity", "en_fr"), "/tr?trtext=Relative%20Humidity&lp=en_fr");
    EXPECT_EQ(TranslationRequestPath("77%\r\n", "en_de"), "/tr?trtext=77%25%0D%0A&lp=en_de");
    EXPECT_EQ(TranslationRequestPath("59\xB0 Fahrenheit (15\xB0 Celsius)", "en_fr"),
              "/tr?trtext=59%B0%20Fahrenheit%20%2815%B0%20Celsius%29&lp=en_fr");
    // Whatever either value holds stays inside its own key.
    EXPECT_EQ(TranslationRequestPath("1+2&lp=x", "e&n#f"), "/tr?trtext=1%2B2%26lp%3Dx&lp=e%26n%23f");
    // A form decoder reads "+" as a blank: the text's own sign goes as %2B.
    EXPECT_EQ(TranslationRequestPath("+5 C", "en_es"), "/tr?trtext=%2B5%20C&lp=en_es");
}

}  // namespace
