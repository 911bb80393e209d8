#pragma once

// Before it resolves its first font, the font back-end (fontconfig) reads
// its whole configuration: a few milliseconds of XML parsing, most of what
// the first line edit costs. StartFontSetUp runs that reading on a thread of
// its own from the start of the program, while the toolkit connects to the
// display; FinishFontSetUp waits for it (at once without a start), and the
// first line edit calls it before it lays out its text. A font resolved
// before that is safe too, only read twice: fontconfig keeps one
// configuration whoever reads it first. The thread touches nothing else and
// is waited for at the latest when the program ends.
void StartFontSetUp();
void FinishFontSetUp();
