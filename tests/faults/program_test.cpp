// The built program under hostile conditions, run as a child whose peak memory is measured.

#include "faults/faultsupport.h"

#include <gtest/gtest.h>

namespace {

}  // namespace
