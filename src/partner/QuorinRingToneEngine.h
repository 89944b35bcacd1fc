#pragma once

#include "partner/PartnerServices.h"

namespace velto::partner {

class PartnerToneService;

// One engine run: the interval gate, the query, and the decisions that follow for each
// tone of the answer.
class QuorinRingToneEngine {
  public:
    explicit QuorinRingToneEngine(PartnerToneService& service) : service_(service) {}
    void Run();

  private:
    void Work();
    bool PassesGate();
    void TakeAnswer(const PartnerServer::QueryResult& answer);
    void TakeEntry(const PartnerToneEntry& entry, bool firstOfList);

    PartnerToneService& service_;
};

}  // namespace velto::partner
