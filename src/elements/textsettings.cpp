#include "elements/textsettings.h"

TTextSettings g_TextSettings;
TTextTransformState g_TextTransform;

