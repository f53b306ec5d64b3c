#pragma once
// Record lines round-tripped through a real file, as a scenario is saved and read back.
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/ResourceFile.h"
#include "objects/GameObject.h"

// Writes the object's record lines to the file at `path` through a buffer of `bufferSize`
// bytes and answers them in order.
inline std::vector<std::string> WrittenRecordLines(GameObject& o, const std::string& path,
                                                   int bufferSize = 256) {
    {
        ResourceFile file;
        file.plainPath = 1;
        EXPECT_EQ(file.Open(path.c_str(), "w"), 1);
        std::vector<char> buffer(static_cast<size_t>(bufferSize));
        o.Write(file, buffer.data(), bufferSize);
        EXPECT_EQ(file.Close(), 1);
    }
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Hands each "k = value" line to the object as the scenario reader does.
inline void ReadRecordLines(GameObject& o, const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        if (line.size() >= 4) o.Parse(line[0], line.c_str() + 4);
}
