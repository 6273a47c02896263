// Notices into the information box, through the portable logic and a view whose box is a plain
// string: a fresh box, a box at its limit (where the oldest notices give way), and a whole read's
// notices shown at once.
#include <benchmark/benchmark.h>

#include <string>

#include "app/information_box.h"
#include "app/texts.h"
#include "link/reception/notices.h"

namespace {

using quenmora::app::InformationBox;
using quenmora::app::MainControl;

class StringBoxView : public quenmora::app::MainView {
 public:
  std::string Text(MainControl, bool*) override { return box; }
  void SetText(MainControl, std::string_view text) override { box = text; }
  void AppendText(MainControl, std::string_view text) override { box += text; }
  void Focus(MainControl) override {}
  void ShowMessage(std::string_view) override {}
  std::unique_ptr<quenmora::app::FolderPickerView> NewFolderPicker() override { return nullptr; }

  std::string box;
};

const std::string kNotice = std::string(quenmora::link::kNameRefused) + "../x";

void AddTop(InformationBox& box) {
  box.AddTopText(std::string(quenmora::app::kLocalIp) + "192.168.1.20\r\n");
  box.AddTopText(quenmora::app::kInstructions);
  box.Show();
}

// Each iteration: a new box and its first 100 notices, each shown on its own.
void BM_NoticeIntoFreshBox(benchmark::State& state) {
  constexpr int kNotices = 100;
  for (auto _ : state) {
    StringBoxView view;
    InformationBox box(view, MainControl::编辑框1);
    AddTop(box);
    for (int i = 0; i < kNotices; ++i) {
      box.AddNotice(kNotice);
      box.Show();
    }
    benchmark::DoNotOptimize(view.box.data());
  }
  state.SetItemsProcessed(state.iterations() * kNotices);
}

// A box kept at its limit by a flood: notices shown `range(0)` at a time (1: each on its own;
// more: a read's worth).
void BM_NoticeIntoFullBox(benchmark::State& state) {
  StringBoxView view;
  InformationBox box(view, MainControl::编辑框1);
  AddTop(box);
  while (view.box.size() + kNotice.size() + 2 < InformationBox::kLimit) {
    box.AddNotice(kNotice);
    box.Show();
  }
  const auto perShow = state.range(0);
  for (auto _ : state) {
    for (std::int64_t i = 0; i < perShow; ++i) box.AddNotice(kNotice);
    box.Show();
  }
  state.SetItemsProcessed(state.iterations() * perShow);
}

BENCHMARK(BM_NoticeIntoFreshBox);
BENCHMARK(BM_NoticeIntoFullBox)->Arg(1)->Arg(15420);

}  // namespace
