#pragma once

namespace velmora {

// Thread contracts checked in debug and test builds (VELMORA_CHECKS); in
// release builds every check compiles to nothing.
#if defined(VELMORA_CHECKS) && VELMORA_CHECKS
inline constexpr bool kContractChecks = true;
#else
inline constexpr bool kContractChecks = false;
#endif

// What a broken contract does. The default writes each breach once to the
// standard error stream and goes on: a host that breaks a rule must not lose
// its process over it. Test programs install AbortOnContractBreach, or their
// own handler to prove a check fires.
using ContractBreachHandler = void (*)(const char* what);
// Answers the handler it replaces. Null restores the default.
ContractBreachHandler SetContractBreachHandler(ContractBreachHandler handler);
bool ContractBreachHandlerIsDefault();
void ReportContractBreach(const char* what);
// Writes what to the standard error stream and aborts.
void AbortOnContractBreach(const char* what);

}  // namespace velmora

// The condition is compiled but never evaluated when the checks are off.
#define VELMORA_EXPECT(condition, what)                                 \
  do {                                                                  \
    if constexpr (::velmora::kContractChecks) {                         \
      if (!(condition)) ::velmora::ReportContractBreach(what);          \
    }                                                                   \
  } while (false)
