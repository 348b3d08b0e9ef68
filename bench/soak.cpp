// Soak: the receive loop polling a device that always answers at once, every good frame going
// through the conversions, the dashboard model, ten scope feeds and the log recorder, for the
// equivalent of hours at the highest line rate (a virtual clock stands in for the wall clock).
// Resident memory and open files are sampled along the way; after warm-up neither may grow.
//
//   bench_soak [HOURS]     (default 4; QUELM_SOAK_HOURS overrides)
// Prints one "key value" line per figure and exits non-zero when memory or open files grew.
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <string>
#include <vector>

#include "common/com_port_map.h"
#include "common/live_config.h"
#include "common/runtime.h"
#include "common/serial_port.h"
#include "common/status_model.h"
#include "decode/calibration_tables.h"
#include "decode/convert_frame.h"
#include "decode/dashboard_update.h"
#include "decode/frame_decoder.h"
#include "decode/scope_channels.h"
#include "files/log_writer.h"
#include "link/link_context.h"
#include "link/monitor.h"
#include "resident_memory.h"

namespace quelm {
namespace {

constexpr int kLineRate = 115200;
// "f" out, 38 bytes back, 10 bits a byte.
constexpr double kPollSeconds = 39 * 10.0 / kLineRate;

int OpenFiles() {
    DIR* dir = opendir("/proc/self/fd");
    if (dir == nullptr) {
        return -1;
    }
    int count = 0;
    while (readdir(dir) != nullptr) {
        ++count;
    }
    closedir(dir);
    return count - 3;  // ".", ".." and the descriptor of the listing itself
}

// A device that answers every poll at once with the next frame of an engine trace, and whose
// answer takes the line time on the virtual clock.
class InstantDevice : public SerialPort {
  public:
    explicit InstantDevice(VirtualRuntime& rt) : rt_(rt) {
        for (std::size_t n = 0; n < trace_.size(); ++n) {
            FrameBuffer& b = trace_[n];
            const double load = 0.5 - 0.5 * std::cos(2 * 3.14159265 * static_cast<double>(n) /
                                                     static_cast<double>(trace_.size()));
            const auto put = [&b](std::size_t at, unsigned v, bool big) {
                b[at + (big ? 0 : 1)] = static_cast<std::uint8_t>(v >> 8);
                b[at + (big ? 1 : 0)] = static_cast<std::uint8_t>(v);
            };
            for (std::size_t at = 0; at < 20; at += 2) {
                put(at, static_cast<unsigned>(150 + 700 * load + static_cast<double>(at)), true);
            }
            put(20, static_cast<unsigned>(120 / ((800 + 5200 * load) * 1.0855e-6 * 8)), false);
            put(22, static_cast<unsigned>(9000 - 6000 * load), false);
            put(24, static_cast<unsigned>(1500 + 9000 * load), false);
            put(26, 7800, false);
            put(30, static_cast<unsigned>(3000 / (0.2 + load)), false);
            SealFrame(b);
        }
    }
    void SetDevice(std::string) override {}
    void Open() override { open_ = true; }
    void Close() override {
        open_ = false;
        pending_.clear();
    }
    bool IsOpen() const override { return open_; }
    void SetSettings(std::string_view) override {}
    std::size_t BytesWaiting() override { return pending_.size(); }
    std::size_t ReadAll(std::vector<std::uint8_t>& into) override {
        into.swap(pending_);
        pending_.clear();
        return into.size();
    }
    void WriteByte(std::uint8_t byte) override {
        if (byte != 'f') {
            return;
        }
        const FrameBuffer& b = trace_[polls_++ % trace_.size()];
        pending_.assign(b.begin(), b.begin() + kFrameBytes);
        rt_.Advance(kPollSeconds);
    }
    bool WaitForBytes(int ms) override {
        if (!pending_.empty()) {
            return true;
        }
        rt_.Advance(ms / 1000.0);
        return false;
    }

  private:
    VirtualRuntime& rt_;
    std::array<FrameBuffer, 4096> trace_{};
    std::vector<std::uint8_t> pending_;
    std::size_t polls_ = 0;
    bool open_ = false;
};

// A scope pen: a bounded history of plotted fractions and the label text, as the chart keeps.
struct ScopeFeed {
    const ScopeChannel* channel;
    std::deque<std::pair<double, double>> points;
    std::string label;
    static constexpr std::size_t kHistory = 5 * 60 * 300;  // five minutes at the top rate

    void Add(double time, const EngData& eng) {
        points.emplace_back(time, ScopeScaled(*channel, eng));
        if (points.size() > kHistory) {
            points.pop_front();
        }
        label = TwoDecimalText(ScopeValue(*channel, eng));
    }
};

struct Sample {
    double hours;
    long rssKiB;
    int files;
};

class SoakSink : public FrameSink {
  public:
    SoakSink(LinkContext& ctx, double hours, std::string recordPath)
        : ctx_(ctx),
          frames_(static_cast<long>(hours * 3600 / kPollSeconds)),
          recordPath_(std::move(recordPath)) {
        config_.map = MapOption::TwoBar;
        config_.wideBand = WideBandOption::Diy;
        for (std::size_t i = 0; i < kMafPoints; ++i) {
            tables_.maf[i] = {static_cast<double>(i) / 6.0, 40.0 * static_cast<double>(i)};
        }
        for (std::size_t i = 0; i < feeds_.size(); ++i) {
            feeds_[i].channel = &kScopeChannels[1 + i];
        }
        sampleEvery_ = std::max<long>(1, frames_ / 200);
    }

    void OnGoodFrame(const FrameBuffer& frame, const RawData& raw, double scopeTime) override {
        ConvertFrame(raw, config_, tables_, state_);
        gauges_ = UpdateDashboard(state_.eng, config_);
        for (auto& feed : feeds_) {
            feed.Add(scopeTime, state_.eng);
        }
        // The recorder starts a new log every hour, so that the soak does not fill the disk.
        const double now = ctx_.rt.Now();
        if (!recorder_.Recording() || now - hourStart_ >= 3600) {
            if (auto error = recorder_.StartRecording(recordPath_, now)) {
                recordError_ = *error;
                ctx_.Connected = false;
                return;
            }
            hourStart_ = now;
        }
        FrameBuffer record = frame;
        const LogWriteResult written = recorder_.WriteLogRecord(record, now);
        if (written.kind != LogWriteResult::Kind::Written) {
            recordError_ = written.message;
            ctx_.Connected = false;
            return;
        }
        ++count_;
        if (count_ % sampleEvery_ == 0) {
            samples_.push_back({scopeTime / 3600, ResidentKiB(), OpenFiles()});
        }
        if (count_ >= frames_) {
            ctx_.Connected = false;
        }
    }
    long count() const { return count_; }
    const std::string& recordError() const { return recordError_; }
    const std::vector<Sample>& samples() const { return samples_; }

  private:
    LinkContext& ctx_;
    long frames_;
    long count_ = 0;
    long sampleEvery_;
    std::string recordPath_;
    LogRecorder recorder_;
    double hourStart_ = 0;
    std::string recordError_;
    LiveConfig config_;
    CalibrationTables tables_ = BuiltInTables();
    ConvertState state_;
    GaugeValues gauges_;
    std::array<ScopeFeed, 10> feeds_{};
    std::vector<Sample> samples_;
};

int Run(int argc, char** argv) {
    double hours = 4;
    if (const char* env = std::getenv("QUELM_SOAK_HOURS")) {
        hours = std::atof(env);
    } else if (argc > 1) {
        hours = std::atof(argv[1]);
    }
    if (!(hours > 0)) {
        std::fprintf(stderr, "bench_soak: HOURS must be a positive number\n");
        return 2;
    }
    char recordDir[] = "/tmp/quelm-soak-XXXXXX";
    if (mkdtemp(recordDir) == nullptr) {
        std::perror("bench_soak: mkdtemp");
        return 2;
    }
    const std::string recordPath = std::string(recordDir) + "/soak.qm1";

    VirtualRuntime rt;
    InstantDevice device(rt);
    StatusModel status;
    ComPortMap map;
    LinkContext ctx(device, rt, status, map);
    ctx.ComPort = 1;
    ctx.BaudRate = std::to_string(kLineRate);
    device.Open();
    ctx.Connected = true;

    const long startKiB = ResidentKiB();
    const int startFiles = OpenFiles();
    SoakSink sink(ctx, hours, recordPath);
    const MonitorResult result = Monitor(ctx, sink);
    const std::string recordError = sink.recordError();
    std::remove(recordPath.c_str());
    rmdir(recordDir);

    const auto& s = sink.samples();
    if (s.size() < 10) {
        std::fprintf(stderr, "bench_soak: too few samples\n");
        return 1;
    }
    // Warm-up: the scope histories fill (five minutes) and the allocator settles; the first
    // quarter hour, or the first tenth of a longer run.
    std::size_t warm = s.size() / 10;
    while (warm < s.size() && s[warm].hours < 0.25) {
        ++warm;
    }
    if (s.size() - warm < 10) {
        std::fprintf(stderr, "bench_soak: run at least an hour to see past the warm-up\n");
        return 2;
    }
    long low = s[warm].rssKiB, high = s[warm].rssKiB;
    int filesLow = s[warm].files, filesHigh = s[warm].files;
    for (std::size_t i = warm; i < s.size(); ++i) {
        low = std::min(low, s[i].rssKiB);
        high = std::max(high, s[i].rssKiB);
        filesLow = std::min(filesLow, s[i].files);
        filesHigh = std::max(filesHigh, s[i].files);
    }
    std::printf("soak_hours %.2f\n", s.back().hours);
    std::printf("soak_frames %ld\n", sink.count());
    std::printf("soak_checksum_errors %.0f\n", ctx.Stats.ChecksumErrors);
    std::printf("soak_timeouts %.0f\n", ctx.Stats.TimeoutErrors);
    std::printf("rss_start_kib %ld\n", startKiB);
    std::printf("rss_after_warmup_kib %ld\n", s[warm].rssKiB);
    std::printf("rss_end_kib %ld\n", s.back().rssKiB);
    std::printf("rss_growth_after_warmup_kib %ld\n", high - low);
    std::printf("open_files_start %d\n", startFiles);
    std::printf("open_files_range %d..%d\n", filesLow, filesHigh);

    bool good = true;
    if (result.end != MonitorEnd::Stopped || ctx.Stats.ChecksumErrors != 0 ||
        ctx.Stats.TimeoutErrors != 0) {
        std::fprintf(stderr, "bench_soak: the receive loop did not run clean (%s)\n",
                     result.error.c_str());
        good = false;
    }
    if (!recordError.empty()) {
        std::fprintf(stderr, "bench_soak: recording failed: %s\n", recordError.c_str());
        good = false;
    }
    // A leak of one byte a frame would add over a megabyte an hour.
    if (high - low > 512) {
        std::fprintf(stderr, "bench_soak: resident memory grew by %ld KiB after warm-up\n",
                     high - low);
        good = false;
    }
    if (filesHigh != filesLow) {
        std::fprintf(stderr, "bench_soak: open files changed from %d to %d\n", filesLow, filesHigh);
        good = false;
    }
    return good ? 0 : 1;
}

}  // namespace
}  // namespace quelm

int main(int argc, char** argv) {
    return quelm::Run(argc, argv);
}
