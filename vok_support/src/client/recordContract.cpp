#include "recordContract.h"

namespace VOK {

RingOffer RecordContract::offer(unsigned long long cycleTimeUs) const {
  return {shmId, provideDescription, provideVersion, provideSignal, cycleTimeUs, recordSize};
}

Requests RecordContract::request(const std::string& wish) const {
  return Requests(wish, requestVersion, {Symbol(symbolName, symbolType, symbolSize, 0)}, providerName);
}

}  // namespace VOK
