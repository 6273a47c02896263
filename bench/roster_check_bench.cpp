// The roster check over a school's worth of photos: a roster of 3,000 students in 60 classes and
// a receive directory of as many photos (16 KB each, named in the three ways a photo is named,
// a third of them in class folders), made once in a temporary folder.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "roster/roster_check.h"
#include "text/codepage.h"

namespace {

namespace fs = std::filesystem;

constexpr int kStudents = 3000;
constexpr int kClassSize = 50;

fs::path Utf8Path(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string IdNumber(int student) {
  std::string number = "4401012008" + std::to_string(1000000 + student);
  static constexpr int kWeights[17] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
  int sum = 0;
  for (int i = 0; i < 17; ++i) sum += (number[static_cast<std::size_t>(i)] - '0') * kWeights[i];
  return number + "10X98765432"[sum % 11];
}

// Distinct two- and three-character names.
std::string Name(int student) {
  static const char* const kSurnames[] = {"张", "王", "李", "赵", "刘", "陈", "杨", "黄", "周", "吴"};
  static const char* const kGiven[] = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "军", "洋",
                                       "勇", "艳", "杰", "娟", "涛", "明", "超", "秀", "霞", "平"};
  return std::string(kSurnames[student % 10]) + kGiven[student / 10 % 20] + kGiven[student / 200 % 20];
}

struct SchoolDirectory {
  SchoolDirectory() {
    path = fs::temp_directory_path() /
           ("quenmora-roster-bench-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::string photo = "\xFF\xD8\xFF\xDA" + std::string("\x00\x02", 2) + std::string(16 * 1024, 'd') + "\xFF\xD9";
    for (int i = 0; i < kStudents; ++i) {
      const std::string className = std::to_string(i / kClassSize + 1) + "班";
      roster += "4401\t" + Name(i) + "\t" + IdNumber(i) + "\t" + className + "\r\n";
      const std::string file = i % 3 == 0   ? IdNumber(i) + ".jpg"
                               : i % 3 == 1 ? className + "/" + Name(i) + ".jpg"
                                            : "4401_" + className + "_" + Name(i) + ".jpg";
      const fs::path filePath = path / Utf8Path(file);
      fs::create_directories(filePath.parent_path());
      std::ofstream(filePath, std::ios::binary) << photo;
    }
    roster = quenmora::text::Utf8ToAnsi(roster);
  }
  ~SchoolDirectory() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }

  fs::path path;
  std::string roster;
};

void BM_CheckRosterPhotos(benchmark::State& state) {
  static const SchoolDirectory school;
  for (auto _ : state) {
    std::optional<quenmora::roster::RosterReport> report = quenmora::roster::CheckRosterPhotos(school.roster, school.path);
    if (!report || report->withPhoto != kStudents) state.SkipWithError("not every photo was found");
    benchmark::DoNotOptimize(report);
  }
  state.SetItemsProcessed(state.iterations() * kStudents);
}

BENCHMARK(BM_CheckRosterPhotos)->Unit(benchmark::kMillisecond);

}  // namespace
