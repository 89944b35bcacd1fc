#include "partner/RegistryPartnerMarker.h"

#include "core/RegistrySettings.h"

namespace velto::partner {

using platform::RegError;
using platform::RegRoot;

bool RegistryPartnerMarker::Exists() const {
    platform::RegValue value;
    return registry_.Query(RegRoot::CurrentUser, core::kVeltoKey, kValueName, value) ==
           RegError::Ok;
}

long RegistryPartnerMarker::Set() {
    RegError error = registry_.CreateKey(RegRoot::CurrentUser, core::kVeltoKey);
    if (error == RegError::Ok) {
        error = registry_.SetDword(RegRoot::CurrentUser, core::kVeltoKey, kValueName, core::kOn);
    }
    return static_cast<long>(error);
}

}  // namespace velto::partner
