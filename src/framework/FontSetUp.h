#pragma once

// Before it resolves its first font, the font back-end (fontconfig) reads
// its whole configuration: a few milliseconds of XML parsing, most of what
// the first line edit costs. StartFontSetUp runs that reading on a thread of
// its own from the start of the program, while the toolkit connects to the
// display; FinishFontSetUp waits for it and is called before the first
// window is built (without a start it returns at once). The thread touches
// nothing but fontconfig, which keeps one configuration whoever reads it
// first, and it is waited for at the latest when the program ends.
void StartFontSetUp();
void FinishFontSetUp();
