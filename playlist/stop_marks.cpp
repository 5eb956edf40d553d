#include "playlist/stop_marks.h"

#include <initializer_list>

bool StopMarks::LowerFirstRaised() {
    for (bool* mark : {&StopMark, &PlayMark, &PrevMark, &NextMark, &AddFileMark, &ReopenMark}) {
        if (*mark) {
            *mark = false;
            return true;
        }
    }
    return false;
}
