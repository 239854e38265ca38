#pragma once
#include <string>
#include <string_view>

// This computer's name in 1252: at most 15 characters, never empty.
std::string GetComputerNameA();

// The computer name made from a host name (UTF-8): cut at its first '.', upper-cased (ASCII),
// at most 15 characters; control characters become '?'; "ORDINATEUR" when nothing is left.
std::string NomOrdinateurDepuis(std::string_view nomHote);
