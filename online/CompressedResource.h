// Loading the program's compressed text resources ("RTFZ" rich text, "STRZ" lines).
#pragma once
#include <stdexcept>
#include <string>
#include <vector>

class TRichView;

// A resource that the program does not have.
class EResNotFound : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The inflated text of a resource; throws EResNotFound or EZDecompressionError.
std::string LoadCompressedText(const std::string& name, const std::string& type);
// Into a rich-text view; the view keeps what it had when loading fails.
void LoadCompressedResource(TRichView& control, const std::string& name, const std::string& type);
// Into a list of lines (split at line ends, no empty last line); the list keeps what it had
// when loading fails.
void LoadCompressedStrings(std::vector<std::string>& list, const std::string& name,
                           const std::string& type);
