#pragma once

// The one-shot stop marks of the main window. Every stop of the engine, the
// end of a track as much as a stop a command caused, arrives as the same
// status report; a command that is about to stop or replace the loaded file
// raises its own mark first, so that report is not taken for the end of the
// track. Each mark is false except between the command that raised it and the
// stopped report that lowers it.
struct StopMarks {
    bool StopMark = false;
    bool PlayMark = false;
    bool PrevMark = false;
    bool NextMark = false;
    bool AddFileMark = false;
    bool ReopenMark = false;  // opening an entry from the playlist window

    // Lowers the first raised mark in the order Stop, Play, Prev, Next,
    // Add File, open-from-playlist. False when none was raised.
    bool LowerFirstRaised();
};
