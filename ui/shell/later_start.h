#pragma once

// One player per user: a later start of the program hands its command line
// to the running player through the single-instance socket, and the running
// player comes forward and opens what it was given.

#include "ui/shell/instance_message.h"

class Application;

namespace platform {
class SingleInstance;
}

// The running player's side, after a successful Acquire: each well-formed
// request brings the player forward and has its items opened on the
// user-interface thread; anything else is ignored. Stop the listening
// before the application goes.
void ListenForLaterStarts(platform::SingleInstance& instance, Application& application);

// The later start's side, after a failed Acquire: hands `request` over.
// False, with a message on stderr, when the running player does not answer;
// items that do not fit into one message are reported there and left out.
bool HandOverToRunningPlayer(platform::SingleInstance& instance, const OpenRequest& request);
