#pragma once

// The editor and the viewer are one code base; each program's main() states which it is before
// anything else runs, and nothing changes it afterwards.
void SetViewerConfiguration(bool viewer);
bool IsViewer();

// Program version as shown by --version and written into nothing else.
const char* KavroVersion();
