#pragma once

// Which directories the "Open Directory" tree marks as storage volumes, as
// the handheld marks its storage cards: the mount points of file systems
// that live on a device or a network share, which is where a card, a stick
// or a disk shows up (/media/<user>/<label>, /run/media/<user>/<label>,
// /media/usb0). The kernel's own file systems (/proc, /sys, tmpfs and the
// like) are not volumes a user keeps music on and get no mark.

#include <set>
#include <string>
#include <string_view>

class MountedVolumes {
public:
    // The system's mount table as it is now; none when it cannot be read.
    static MountedVolumes FromSystem();

    // From text in the form of /proc/self/mounts: one mount a line, source
    // and mount point first, with spaces and the like written as octal
    // escapes ("\040").
    explicit MountedVolumes(std::string_view mountTable);

    bool Contains(const std::string& directory) const;

private:
    std::set<std::string> mountPoints_;
};
