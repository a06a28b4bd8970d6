// What the text areas of programs tell assistive technology (screen readers).
//
// The editor library's own accessible object of a text area turns the caret's
// byte position into a character offset by counting every character from the
// start of the text, on every change of the caret or the view, whether or not
// anything listens: at the end of a program of millions of lines each arrow
// key paid a count of all of it. While no assistive technology is active the
// text areas therefore get a plain accessible object (an editable text with
// its name); once one becomes active, those are dropped, and the library's
// full object, which reads the text to it, is made on the next question.
#pragma once

// Sets this up once for the run, for every text area of the class
// TEditorProgramu; each area calls it as it is created.
void ZlehcitDostupnostEditoru();
