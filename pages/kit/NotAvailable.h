#pragma once

// How a control of a page that is not available shows it: no value of any
// switch (texts and number fields empty with "not available" over them,
// no item, no check or radio button, labelled values "not available", lists
// without rows) and off. What it showed is put aside and taken back.

class QWidget;

// False, leaving it alone, for a control that shows no value and takes no input.
bool PutAside(QWidget* control);
// Shows again what PutAside put aside, enabled as it was.
void TakeBack(QWidget* control);
