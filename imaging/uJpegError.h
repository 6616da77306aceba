// The exception that a fatal error of the JPEG library becomes, with the library's message.
#pragma once
#include <stdexcept>
#include <string>

class JPEGerror : public std::runtime_error {
 public:
  explicit JPEGerror(const std::string& message) : std::runtime_error(message) {}
};
