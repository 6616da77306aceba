#include "viewers/ViewerHost.h"

tViewerHost& ViewerHost() {
  static tViewerHost host;
  return host;
}
