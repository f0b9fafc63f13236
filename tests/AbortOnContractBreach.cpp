// Linked into every test program: a broken thread contract stops the test
// at once, where an installed module would only log it.
#include "framework/plugin/Contracts.h"

namespace {

const bool kAbortInstalled = (velmora::SetContractBreachHandler(&velmora::AbortOnContractBreach), true);

}  // namespace
