#include "platform/config.h"

namespace {
bool g_viewer = false;
}

void SetViewerConfiguration(bool viewer) { g_viewer = viewer; }
bool IsViewer() { return g_viewer; }
const char* KavroVersion() { return KAVRO_VERSION_STRING; }
