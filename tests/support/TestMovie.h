#pragma once
// Writes short movies for the movie player's tests through the platform's movie writer
// (MPEG-4 video, and optionally 16-bit PCM sound, in a QuickTime container), and puts key
// presses into the window system's queue as a person would.
#include <functional>
#include <string>

struct AVFormatContext;
struct AVPacket;

struct TestMovieShape {
    int width = 64;
    int height = 48;
    int frames = 10;
    int framesPerSecond = 10;
    bool sound = true;
    // The pictures after this one are stamped gapSeconds later than their place (a damaged
    // file); -1 for none.
    int gapAfterFrame = -1;
    int gapSeconds = 0;
    // Every picture is stamped this much later: a movie whose clock does not start at zero.
    int startSeconds = 0;
};

// 1 when the file was written.
int WriteTestMovie(const std::string& path, const TestMovieShape& shape);

// Writes a packet into the copy: its stream index names the copy's track (the extra track is
// the one after the input's), its stamps are in the input track's time base.
using PacketWrite = std::function<bool(AVPacket*)>;
// Sees each packet read (it may change it) and writes what the copy takes; false stops the copy.
using PacketCopy = std::function<bool(AVFormatContext*, AVPacket*, const PacketWrite&)>;
// Copies a movie track by track into a QuickTime file, every packet through `each` (none copies
// them as they are). extraTrackOf >= 0 adds one more track with that track's format after the
// others, which only packets `each` writes fill. 1 when written.
int CopyTestMovie(const std::string& from, const std::string& to, int extraTrackOf,
                  const PacketCopy& each);

// Starts (and stops) the window system's event queue for tests that run without a window.
int StartTestEventQueue();
void StopTestEventQueue();
// Puts a mouse motion into the event queue: input a movie must leave alone.
int PushTestMouseMotion();
// Counts the mouse motions waiting in the queue.
int PendingMouseMotions();

// Puts a key press (its key-down and the text it types) into the window system's event
// queue, as a person pressing the key would; 1 when the events were queued.
int PushTestKeyPress(char letter);
// Counts the key-down and text events waiting in the window system's queue.
int PendingKeyAndTextEvents();
