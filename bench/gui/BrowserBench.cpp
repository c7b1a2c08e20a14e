// Times what the browser does when a person clicks: listing a folder of 2,000 banks, loading FluidR3_GM and
// filling both trees, switching between two banks, and searching a tree of 20,000 folders. Run by
// bench/browser.sh under Xvfb with a release build; prints one "name milliseconds" line per measure.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <QApplication>
#include <QListWidget>
#include <QTemporaryDir>

#include "ui/Unit1.h"

namespace fs = std::filesystem;
using namespace quorvane::ui;

namespace {

template <typename Work> double Milliseconds(Work work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    QApplication::processEvents();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: quorvane_browser_bench BANK_A BANK_B\n");
        return 1;
    }
    QTemporaryDir dir;
    const fs::path root = dir.path().toStdString();
    // 2,000 bank files: the listing reads names only, so the files may be empty.
    fs::create_directories(root / "many");
    for (int i = 0; i < 2000; ++i)
        std::ofstream(root / "many" / ("Bank " + std::to_string(i) + ".sf2"));
    // 20,000 folders, 200 of 100, with one bank at the bottom of each hundredth.
    for (int i = 0; i < 200; ++i)
        for (int k = 0; k < 100; ++k)
            fs::create_directories(root / "tree" / std::to_string(i) / std::to_string(k));
    for (int i = 0; i < 200; i += 10)
        std::ofstream(root / "tree" / std::to_string(i) / "7" / "Found.sf2");
    // The two banks side by side in one folder.
    fs::create_directories(root / "two");
    fs::create_symlink(fs::absolute(argv[1]), root / "two" / "A.sf2");
    fs::create_symlink(fs::absolute(argv[2]), root / "two" / "B.sf2");

    TForm1 form(dir.filePath("bench.ini"), NoDeviceLists());
    form.resize(1200, 760);
    form.show();
    QApplication::processEvents();

    std::printf("list_2000_ms %.2f\n", Milliseconds([&] { form.SelectFolder(dir.filePath("many")); }));
    if (form.findChild<QListWidget*>("ListBox1")->count() != 2000)
        return 2;
    std::printf("search_20000_ms %.2f\n", Milliseconds([&] {
                    form.SelectFolder(dir.filePath("tree"));
                    form.SearchFolder(FolderSearch::Banks);
                }));
    form.SelectFolder(dir.filePath("two"));
    std::printf("load_a_ms %.2f\n", Milliseconds([&] { form.LoadEntry(0); }));
    std::printf("switch_to_b_ms %.2f\n", Milliseconds([&] { form.LoadEntry(1); }));
    std::printf("switch_to_a_ms %.2f\n", Milliseconds([&] { form.LoadEntry(0); }));
    return 0;
}
