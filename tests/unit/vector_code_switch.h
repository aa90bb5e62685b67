#pragma once
// Runs a test's loops with the vector versions switched on or off, and on again afterwards.

#include "core/vector_code.h"

class VectorCodeSwitch {
 public:
  explicit VectorCodeSwitch(bool on) { AllowVectorCode(on); }
  ~VectorCodeSwitch() { AllowVectorCode(true); }
  VectorCodeSwitch(const VectorCodeSwitch&) = delete;
  VectorCodeSwitch& operator=(const VectorCodeSwitch&) = delete;
};
