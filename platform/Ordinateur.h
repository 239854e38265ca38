#pragma once
#include <string>

// This computer's name in 1252: at most 15 characters, never empty.
std::string GetComputerNameA();
