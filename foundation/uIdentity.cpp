#include "foundation/uIdentity.h"

#include "resources/uResStrings.h"

std::string ProgramNameAndVersion() {
  return LoadResString(sProgramName) + " " + LoadResString(sVersionText);
}
