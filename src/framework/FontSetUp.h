#pragma once

// The font back-end (fontconfig) reads its whole configuration before the
// first font is resolved: tens of milliseconds, most of what a window with
// text costs to build beyond a bare one. StartFontSetUp runs that reading on
// a thread of its own from the start of the program, alongside the toolkit's
// start-up; FinishFontSetUp waits for it, and is called before the first
// window is built (without a start it returns at once). Reading it twice is
// harmless: fontconfig keeps one configuration.
void StartFontSetUp();
void FinishFontSetUp();
