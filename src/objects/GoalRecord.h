#pragma once
// The goal lines of an object's record in a scenario file: one 'U' line per goal that is not a
// waypoint, "U = type,override,finish,report,repeat,fields...", read back in order into the
// object's goal queue.
#include <cstdint>

class GameObject;
class ResourceFile;

// The line's value text (after "U = "). Appends the goal it describes to the object's queue;
// 0 when the line names no goal type that can be built (nothing changes then). Numbers missing
// from a short line count as 0.
int ParseGoalLine(GameObject& object, const char* text);
// Formats one goal line per goal that is not a waypoint, in queue order, into the buffer and
// writes each as a line of the file.
void WriteGoalLines(GameObject& object, ResourceFile& file, char* buffer, int bufferSize);
