#pragma once
// The services' real data, read once for all the tests that need it.

#include "services/service_data.h"

inline const nimbrel::services::ServiceData& TestServiceData() {
    static const nimbrel::services::ServiceData data = nimbrel::services::ServiceData::Load(SERVICES_DATA_DIR);
    return data;
}
