#include "framework/plugin/Contracts.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace velmora {
namespace {

// The checks pass literals, so one breach is one address.
constexpr int kRememberedBreaches = 32;
std::atomic<const char*> gLogged[kRememberedBreaches];

bool FirstTime(const char* what) {
  for (std::atomic<const char*>& slot : gLogged) {
    const char* seen = slot.load();
    if (seen == what) return false;
    if (seen == nullptr && slot.compare_exchange_strong(seen, what)) return true;
    if (seen == what) return false;
  }
  return false;  // the table is full: enough has been said
}

void LogOnce(const char* what) {
  if (FirstTime(what)) std::fprintf(stderr, "Velmora: broken thread contract (going on): %s\n", what);
}

std::atomic<ContractBreachHandler> gHandler{&LogOnce};

}  // namespace

void AbortOnContractBreach(const char* what) {
  std::fprintf(stderr, "Velmora: broken thread contract: %s\n", what);
  std::abort();
}

ContractBreachHandler SetContractBreachHandler(ContractBreachHandler handler) {
  return gHandler.exchange(handler ? handler : &LogOnce);
}

bool ContractBreachHandlerIsDefault() { return gHandler.load() == &LogOnce; }

void ReportContractBreach(const char* what) { gHandler.load()(what); }

}  // namespace velmora
