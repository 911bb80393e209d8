#include "FontSetUp.h"

// Windows' font list is the system's own and needs no reading ahead.

void StartFontSetUp() {}

void FinishFontSetUp() {}
