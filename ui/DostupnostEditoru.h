// What the text areas of programs tell assistive technology (screen readers).
//
// A text area answers as an editable text whose offsets are UTF-16 code units
// (Qt's characters), as the editor library's own object does; but where that
// one counted every character from the start of the text to the place of
// each change and each caret move, this one turns a place into an offset with
// an index of the lines' starts in UTF-16 units, which the text area keeps up
// to date as it changes (a step of the line's own characters on top of a
// look-up). The index is made the first time an offset is asked for, so that
// a text area nobody reads costs nothing; the changes, the caret and the
// selection are told only while assistive technology is active.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

class QAccessibleEvent;
class TEditorProgramu;

// Sets this up once for the run, for every text area of the class
// TEditorProgramu; each area calls it as it is created.
void ZlehcitDostupnostEditoru();

// Called by the text area: a change was made (pozice: its place in bytes; the
// bytes inserted, or deleted), the caret or the selection may have moved, the
// area shows another document (whose index, when the area has one, is made).
void OhlasitZmenu(TEditorProgramu& editor, std::size_t pozice, std::string_view bajty, bool vlozeno);
void OhlasitKurzor(TEditorProgramu& editor);
void NovyDokumentDostupnosti(TEditorProgramu& editor);

// Where the events go instead of the platform's assistive technology (a test
// listens so); an empty function restores the platform. While one listens,
// the events are made as if assistive technology were active.
void NastavitPosluchaceDostupnosti(std::function<void(QAccessibleEvent*)> posluchac);
