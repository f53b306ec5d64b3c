#pragma once
// What every benchmark program shares: a reporter that keeps one time per benchmark (the
// median when repetitions are asked for, the single run otherwise; never a mean, a standard
// deviation or a coefficient of variation), and the printing of a comparison of two of those
// times, which also goes as one line to the file named by QX_BENCH_SUMMARY so that a run of
// every program ends with the whole picture in one place.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const bool single = run.run_type == Run::RT_Iteration;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (!single && !median) continue;
            // Iteration runs come before their aggregates, so a median replaces them.
            if (single && run.repetitions > 1) continue;
            const std::string name = run.run_name.str();
            // CPU time: the machine may be shared, and every case here runs on one thread.
            cpu[name] = run.GetAdjustedCPUTime();
            counters[name] = run.counters;
            labels[name] = run.report_label;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    bool Has(const std::string& name) const { return cpu.count(name) != 0; }
    double Time(const std::string& name) const {
        auto found = cpu.find(name);
        return found == cpu.end() ? 0.0 : found->second;
    }
    double Counter(const std::string& name, const std::string& counter) const {
        auto found = counters.find(name);
        if (found == counters.end()) return 0.0;
        auto value = found->second.find(counter);
        return value == found->second.end() ? 0.0 : static_cast<double>(value->second);
    }

    std::map<std::string, double> cpu;
    std::map<std::string, benchmark::UserCounters> counters;
    std::map<std::string, std::string> labels;
};

// Prints "what: ours X, peer Y, ratio R" (times in the benchmarks' own unit) and appends the
// same line to the summary file. Missing times are reported as such, not as a ratio.
inline void PrintComparison(const std::string& what, const MedianReporter& reporter,
                            const std::string& ours, const std::string& peer, const char* peerName,
                            const char* unit) {
    char line[512];
    if (!reporter.Has(ours) || !reporter.Has(peer) || reporter.Time(peer) <= 0) {
        std::snprintf(line, sizeof line, "%-44s not measured (%s or %s missing)\n", what.c_str(),
                      ours.c_str(), peer.c_str());
    } else {
        const double a = reporter.Time(ours), b = reporter.Time(peer);
        std::snprintf(line, sizeof line, "%-44s ours %10.2f %s  %-14s %10.2f %s  ratio %5.2f\n",
                      what.c_str(), a, unit, peerName, b, unit, a / b);
    }
    std::fputs(line, stdout);
    if (const char* path = std::getenv("QX_BENCH_SUMMARY")) {
        if (std::FILE* summary = std::fopen(path, "a")) {
            std::fputs(line, summary);
            std::fclose(summary);
        }
    }
}

// Prints "what: ours X, peer Y, ratio R" for two figures worked out by the caller (a cost per
// unit of work, a share), and appends the line to the summary file like PrintComparison.
inline void PrintRatio(const std::string& what, double ours, double peer, const char* peerName,
                       const char* unit) {
    char line[512];
    if (peer <= 0 || ours <= 0) {
        std::snprintf(line, sizeof line, "%-44s not measured\n", what.c_str());
    } else {
        std::snprintf(line, sizeof line, "%-44s ours %10.4f %s  %-14s %10.4f %s  ratio %5.2f\n",
                      what.c_str(), ours, unit, peerName, peer, unit, ours / peer);
    }
    std::fputs(line, stdout);
    if (const char* path = std::getenv("QX_BENCH_SUMMARY")) {
        if (std::FILE* summary = std::fopen(path, "a")) {
            std::fputs(line, summary);
            std::fclose(summary);
        }
    }
}
