#include "framework/plugin/Contracts.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace velmora {
namespace {

void AbortOnBreach(const char* what) {
  std::fprintf(stderr, "Velmora: broken thread contract: %s\n", what);
  std::abort();
}

std::atomic<ContractBreachHandler> gHandler{&AbortOnBreach};

}  // namespace

ContractBreachHandler SetContractBreachHandler(ContractBreachHandler handler) {
  return gHandler.exchange(handler ? handler : &AbortOnBreach);
}

void ReportContractBreach(const char* what) { gHandler.load()(what); }

}  // namespace velmora
