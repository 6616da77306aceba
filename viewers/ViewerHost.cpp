#include "viewers/ViewerHost.h"

tViewerHost& ViewerHost() {
  static tViewerHost host;
  if (host.ReadSettings) host.ReadSettings(host);
  return host;
}
