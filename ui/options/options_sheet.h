#pragma once

// The "Options" sheet: every preference but the equalizer, repeat and
// shuffle, on five pages with their tabs at the bottom of the screen.

class Application;

// Shows the sheet modally on its first page and returns when it is closed.
// OK applies every page that was opened, in tab order; Cancel and Escape
// apply nothing.
void ShowOptions(Application& application);
