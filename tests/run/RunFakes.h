// Stand-ins for the window and the operating system, recording what the run does to them.
#pragma once

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <grp.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/FileAttributes.h"
#include "run/GenerationRun.h"
#include "run/RunHost.h"
#include "tests/platform/InChild.h"
#include "tests/platform/TempFolder.h"
#include "tests/render/RenderFakes.h"
#include "tests/support/FakeServices.h"

namespace gridloom::test {

// Records every contact in Events as "kind:detail" and answers the message boxes as scripted.
class TFakeHost : public IRunInputs, public IRunFeedback, public IRunQuestions {
public:
    std::string Countries;
    TBitmap Bitmap;
    TFakeSettings Settings;
    std::vector<std::string> Events;
    std::vector<int> Progress;
    int Refreshes = 0;
    bool AnswerYesNo = false;
    bool AnswerOkCancel = true;
    bool AnswerConfirm = true;
    std::function<void(const std::string&)> OnStatus;  // runs after the status is recorded
    std::function<void()> OnRefresh;
    std::function<void()> OnDialog;  // runs inside every message box, as its message loop would

    std::string CountriesFile() override { return Countries; }
    TBitmap& MasterBitmap() override { return Bitmap; }
    const IRenderSettings& RenderSettings() override { return Settings; }
    void ShowStatus(const std::string& text) override {
        Events.push_back("status:" + text);
        if (OnStatus) OnStatus(text);
    }
    bool AskYesNo(const std::string& caption, const std::string& text) override {
        Events.push_back("ask:" + caption + "|" + text);
        if (OnDialog) OnDialog();
        return AnswerYesNo;
    }
    bool WarnOkCancel(const std::string& text) override {
        Events.push_back("warn:" + text);
        if (OnDialog) OnDialog();
        return AnswerOkCancel;
    }
    bool ConfirmYesNo(const std::string& text) override {
        Events.push_back("confirm:" + text);
        if (OnDialog) OnDialog();
        return AnswerConfirm;
    }
    void Inform(const std::string& text) override {
        Events.push_back("inform:" + text);
        if (OnDialog) OnDialog();
    }
    void SetProgress(int position) override { Progress.push_back(position); }
    void RefreshDisplay() override {
        ++Refreshes;
        if (OnRefresh) OnRefresh();
    }

    // The status texts, in order.
    std::vector<std::string> Statuses() const {
        std::vector<std::string> result;
        for (const auto& e : Events)
            if (e.rfind("status:", 0) == 0) result.push_back(e.substr(7));
        return result;
    }
    int Count(const std::string& prefix) const {
        int n = 0;
        for (const auto& e : Events) n += e.rfind(prefix, 0) == 0;
        return n;
    }
    bool Saw(const std::string& prefix) const { return Count(prefix) > 0; }
};

struct TPointMinutes {
    int16_t Lon, Lat;
};

inline void AppendRecord(std::string& data, uint8_t kind, const std::vector<TPointMinutes>& points) {
    const int32_t count = int32_t(points.size());
    for (int i = 0; i < 4; ++i) data += char(uint32_t(count) >> (8 * i));
    data += char(kind);
    for (auto p : points) {
        data += char(uint16_t(p.Lon));
        data += char(uint16_t(p.Lon) >> 8);
        data += char(uint16_t(p.Lat));
        data += char(uint16_t(p.Lat) >> 8);
    }
}

// A small world: one green square of land from 10 W to 30 E and 10 S to 30 N, and a
// boundary line across it.
inline std::string SmallCountries() {
    std::string data;
    AppendRecord(data, 0, {{-600, -600}, {1800, -600}, {1800, 1800}, {-600, 1800}, {-600, -600}});
    AppendRecord(data, 1, {{-600, 600}, {1800, 600}});
    AppendRecord(data, 0, {});  // terminator
    return data;
}

inline void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline mode_t ModeOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return mode_t(-1);
    return info.st_mode & 07777;
}

// A run's world: the small countries file in a fresh folder, the output beside it.
class TRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        Host.Countries = Folder / "Countries.dat";
        WriteFile(Host.Countries, SmallCountries());
    }

    TTempFolder Folder;
    TFakeHost Host;
    TFakeServices Services;
    std::string Output = Folder / "Overlay.bmp";
};

}  // namespace gridloom::test
