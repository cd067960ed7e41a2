#pragma once

#include <QString>

class QFont;
class QLineEdit;

// How task names are taken in and shown. A name is one line of plain text, so what is typed or
// pasted into a name field loses its control characters and the characters that embed or override
// a writing direction. Names stored earlier may still hold them: wherever a name is shown it is
// isolated, so its direction controls end with it and cannot reorder the text around it.
namespace TaskNames {

// `text` without C0 and C1 controls, line and paragraph separators, and bidirectional embeddings,
// overrides and isolates.
QString withoutControls(const QString& text);

// Makes `field` drop those characters from whatever is typed, pasted or set into it.
void filterControls(QLineEdit* field);

// `name` as a directional isolate (FIRST STRONG ISOLATE ... POP DIRECTIONAL ISOLATE).
QString isolated(const QString& name);

// `name` isolated, on one line: elided to `width` in `font`, with no line break inside it, so text
// that quotes it wraps around the name rather than through it.
QString isolatedOnOneLine(const QString& name, const QFont& font, int width);

} // namespace TaskNames
