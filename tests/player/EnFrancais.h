#pragma once
// The tests of a program that includes this run in the French locale, as on a French desktop:
// the checker's comparisons and keys follow it.

#include <gtest/gtest.h>

#include "platform/Locale.h"

namespace {

class EnvironnementFrancais : public ::testing::Environment {
 public:
  void SetUp() override { FixeLocale("fr_FR"); }
};
const auto* const environnementFrancais = ::testing::AddGlobalTestEnvironment(new EnvironnementFrancais);

}  // namespace
