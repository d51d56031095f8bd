#pragma once
// The services' real data, read once for all the tests that need it.

#include "service_data.h"

inline const services::ServiceData& TestServiceData() {
    static const services::ServiceData data = services::ServiceData::Load(SERVICES_DATA_DIR);
    return data;
}
