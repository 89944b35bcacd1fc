#include "partner/PartnerStack.h"

namespace velto::partner {

PartnerStack::PartnerStack(Parts parts)
    : server_(parts.serverLink),
      settings_(parts.settings, parts.settingFile),
      marker_(parts.registry),
      fetcher_(parts.clock),
      service_(PartnerContext{parts.clock, parts.workers, parts.shared, server_, settings_, marker_,
                              converter_, fetcher_}) {}

}  // namespace velto::partner
