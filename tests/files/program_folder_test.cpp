#include "files/program_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "support/unprivileged.h"
#include "text/line_edit.h"

using namespace akkusim;

namespace {

namespace fs = std::filesystem;

// Windows names files regardless of letter case: "a.txt" and "A.TXT" are one.
#ifdef _WIN32
constexpr bool kCaseTellsFilesApart = false;
#else
constexpr bool kCaseTellsFilesApart = true;
#endif

struct FolderFixture {
  TempFolder temp{"program_folder"};
  fs::path root = temp.path();
  fs::path folder = root / "Programme";

  FolderFixture() { fs::create_directories(folder); }
  void addFiles(std::initializer_list<const char*> names) const {
    for (const char* name : names) std::ofstream(folder / name, std::ios::binary) << "HOLD\r\n";
  }
};

TEST(ProgramName, LettersDigitsUnderscoreAndDashUpToForty) {
  struct Case {
    std::string name;
    bool allowed;
  };
  const std::string forty(40, 'x');
  for (const Case& c : {
           Case{"a", true},
           Case{"Aufgabe_3-b", true},
           Case{"Zz09_-", true},
           Case{forty, true},
           Case{forty + "x", false},
           Case{"", false},
           Case{"mein programm", false},
           Case{"a.b", false},
           Case{"../a", false},
           Case{"\xC3\xBC"
                "bung",
                false},
           Case{"a/b", false},
           Case{"a@", false},
           Case{"[", false},
           Case{"`", false},
           Case{"{", false},
       }) {
    EXPECT_EQ(isProgramName(c.name), c.allowed) << c.name;
  }
}

TEST(ProgramName, DeviceNamesOfWindows) {
  struct Case {
    const char* name;
    bool device;
  };
  for (const Case& c :
       {Case{"CON", true}, Case{"con", true}, Case{"Prn", true}, Case{"aux", true},
        Case{"NUL", true}, Case{"COM0", true}, Case{"com9", true}, Case{"LPT1", true},
        Case{"lpt0", true}, Case{"COM", false}, Case{"LPT", false}, Case{"COM10", false},
        Case{"CONS", false}, Case{"NULL", false}, Case{"xCON", false}, Case{"COMA", false},
        Case{"com_", false}, Case{"", false}}) {
    EXPECT_EQ(isDeviceName(c.name), c.device) << c.name;
  }
}

// The chooser's name field takes a typed character exactly when the name
// rule allows it.
TEST(ProgramName, TheNameFieldAcceptsExactlyTheRulesCharacters) {
  for (int byte = 1; byte < 256; ++byte) {
    if (byte == 8) continue;  // Backspace edits rather than inserts
    const char c = static_cast<char>(byte);
    std::optional<EditKey> key;
    int32_t column = 1;
    const std::string typed =
        applyKeyToLine("", kProgramNameCharacterRules, key,
                       static_cast<int32_t>(kMaxProgramNameLength), column, [c] {
                         return EditKey{EditKeyKind::Character, c};
                       });
    EXPECT_EQ(typed == std::string(1, c), isProgramNameCharacter(c)) << "byte " << byte;
  }
}

// A file of the folder is listed with ".txt" in lower case alone and under any
// name; a file read by its own path takes the extension in any case, and one
// that joins the folder (an upload) also needs a name the learner could give.
TEST(ProgramFileName, ListedAndNewNamesOfFiles) {
  struct Case {
    std::string fileName;
    std::optional<std::string> listed;
    std::optional<std::string> foreign;
    std::optional<std::string> joinsAs;
  };
  const std::string forty(40, 'x');
  const std::optional<std::string> none;
  // Listed where the system finds the file by its name with ".txt" appended.
  const auto listedWithoutCase = [&](const std::string& name) {
    return kCaseTellsFilesApart ? none : std::optional<std::string>(name);
  };
  for (const Case& c : {
           Case{"summe.txt", "summe", "summe", "summe"},
           Case{"Aufgabe_3-b.txt", "Aufgabe_3-b", "Aufgabe_3-b", "Aufgabe_3-b"},
           Case{forty + ".txt", forty, forty, forty},
           Case{forty + "x.txt", forty + "x", forty + "x", none},
           Case{"a.b.txt", "a.b", "a.b", none},
           Case{"mein programm.txt", "mein programm", "mein programm", none},
           Case{"\xC3\xBC"
                "bung.txt",
                "\xC3\xBC"
                "bung",
                "\xC3\xBC"
                "bung",
                none},
           Case{"../summe.txt", none, none, none},
           Case{"A.TXT", listedWithoutCase("A"), "A", "A"},
           Case{"Aufgabe_3-b.Txt", listedWithoutCase("Aufgabe_3-b"), "Aufgabe_3-b", "Aufgabe_3-b"},
           Case{".txt", none, none, none},
           Case{".TXT", none, none, none},
           Case{".versteckt.txt", none, none, none},
           Case{"txt", none, none, none},
           Case{"summe", none, none, none},
           Case{"summe.txt.bak", none, none, none},
           Case{"summe.TXT.bak", none, none, none},
           Case{"summe.md", none, none, none},
           Case{"summe.tx", none, none, none},
       }) {
    EXPECT_EQ(programNameOfFile(c.fileName), c.listed) << c.fileName;
    EXPECT_EQ(programNameOfForeignFile(c.fileName), c.foreign) << c.fileName;
    EXPECT_EQ(newProgramNameOf(c.fileName), c.joinsAs) << c.fileName;
  }
}

TEST(ProgramFilePath, FolderNameAndTxt) {
  EXPECT_EQ(programFilePath("/a/Programme", "Summe"), fs::path("/a/Programme/Summe.txt"));
}

TEST(ListProgramFolder, ProgramsInReadingOrderWithoutExtension) {
  // Setup
  FolderFixture f;
  f.addFiles({"b.txt", "Zeta.txt", "a.txt", "A.txt", "demo.txt", ".hidden.txt", "notes.md", "txt",
              "demo.txt.bak", "a.b.txt", "B_2.txt", "b-1.txt", "GROSS.TXT", "_x.txt"});
  fs::create_directory(f.folder / "alt.txt");

  // Run
  const std::vector<std::string> names = listProgramFolder(f.folder);

  // Verify: letter case aside first, then the bytes ("A" before "a").
  std::vector<std::string> expected = {"_x", "A", "a", "a.b", "b", "b-1", "B_2", "demo", "Zeta"};
  if (!kCaseTellsFilesApart) {
    // Windows: "A.txt" and "a.txt" are one file, and "GROSS.TXT" opens as "GROSS.txt".
    expected = {"_x", "a", "a.b", "b", "b-1", "B_2", "demo", "GROSS", "Zeta"};
  }
  EXPECT_EQ(names, expected);
}

TEST(ListProgramFolder, LetterCaseAsideFirstThenTheBytes) {
  struct Case {
    std::string first;
    std::string second;
    bool before;
  };
  for (const Case& c : {
           Case{"A", "a", true},
           Case{"a", "A", false},
           Case{"a", "a", false},
           Case{"a", "B", true},
           Case{"B", "a", false},
           Case{"Zeta", "zeta2", true},
           Case{"_x", "A", true},
           Case{"b-1", "B_2", true},
       }) {
    EXPECT_EQ(comesBeforeInList(c.first, c.second), c.before) << c.first << " " << c.second;
  }
}

TEST(ListProgramFolder, MissingFolderGivesAnEmptyList) {
  FolderFixture f;
  EXPECT_TRUE(listProgramFolder(f.root / "fehlt").empty());
  fs::remove_all(f.folder);
  EXPECT_TRUE(listProgramFolder(f.folder).empty());
}

TEST(ProgramFileExists, OnlyAFileThatOpens) {
  FolderFixture f;
  f.addFiles({"da.txt", "GROSS.TXT"});
  fs::create_directory(f.folder / "ordner.txt");
  struct Case {
    std::string name;
    bool exists;
  };
  for (const Case& c : {Case{"da", true}, Case{"fehlt", false}, Case{"ordner", false},
                        Case{"GROSS", !kCaseTellsFilesApart}}) {
    EXPECT_EQ(programFileExists(f.folder, c.name), c.exists) << c.name;
  }
}

std::vector<std::string> filesOf(const ProgramArguments& expanded) {
  std::vector<std::string> files;
  for (const ProgramArgument& program : expanded.programs) files.push_back(program.file);
  return files;
}

TEST(ExpandProgramArguments, FoldersByBytesOtherArgumentsAsGivenEachFileOnce) {
  // Setup
  FolderFixture f;
  f.addFiles({"b.txt", "B.txt", "a.txt", ".hidden.txt", "C.TXT", "notes.md"});
  fs::create_directory(f.folder / "sub.txt");
  const std::string folder = f.folder.string();
  const std::string loose = (f.root / "lose.TXT").string();
  std::ofstream(loose) << "HOLD\n";

  // Run
  const ProgramArguments expanded = expandProgramArguments(
      {loose, folder, "-", "fehlt.txt", folder, folder + "/a.txt", "fehlt.txt", loose});

  // Verify: any case of the extension, hidden files aside; a file that
  // several arguments stand for is checked once, where it first appears.
  // A folder's files are named with the system's separator.
  const auto inFolder = [&f](const char* name) { return (f.folder / name).string(); };
  std::vector<std::string> expected = {
      loose, inFolder("B.txt"), inFolder("C.TXT"), inFolder("a.txt"), inFolder("b.txt"),
      "-",   "fehlt.txt"};
  if (!kCaseTellsFilesApart) std::erase(expected, inFolder("B.txt"));
  EXPECT_EQ(filesOf(expanded), expected);
  EXPECT_EQ(expanded.skipped, std::vector<std::string>{inFolder("notes.md")});
}

// A download from a school platform: one sub-folder per learner, with
// whatever else the learners handed in.
TEST(ExpandProgramArguments, SubFoldersAreWalkedAndNameTheLearner) {
  // Setup
  FolderFixture f;
  for (const char* file : {"Anna_Muster/abgabe.txt", "Bert/abgabe.TXT", "Bert/bericht.pdf",
                           "Carla/v2/loesung.txt", ".git/x.txt", "Dora/.DS_Store"}) {
    fs::create_directories((f.folder / file).parent_path());
    std::ofstream(f.folder / file) << "HOLD\n";
  }
  f.addFiles({"lehrer.txt"});
  const std::string folder = f.folder.string();

  // Run
  const ProgramArguments expanded = expandProgramArguments({folder + "/"});

  // Verify
  std::vector<std::pair<std::string, std::string>> found;
  for (const ProgramArgument& p : expanded.programs) {
    found.emplace_back(fs::path(p.file).lexically_relative(f.folder).generic_string(), p.learner);
  }
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"Anna_Muster/abgabe.txt", "Anna_Muster"},
      {"Bert/abgabe.TXT", "Bert"},
      {"Carla/v2/loesung.txt", "Carla/v2"},
      {"lehrer.txt", ""}};
  EXPECT_EQ(found, expected);
  ASSERT_EQ(expanded.skipped.size(), 1u);
  EXPECT_EQ(fs::path(expanded.skipped[0]).lexically_relative(f.folder), "Bert/bericht.pdf");
}

TEST(ExpandProgramArguments, AFolderWithoutProgramsStandsForNothing) {
  FolderFixture f;
  f.addFiles({"LIESMICH.md", ".x.txt", "._abgabe.TXT"});
  const ProgramArguments expanded = expandProgramArguments({f.folder.string()});
  EXPECT_TRUE(expanded.programs.empty());
  EXPECT_EQ(expanded.skipped, std::vector<std::string>{(f.folder / "LIESMICH.md").string()});
}

// A learner's folder that cannot be read stands in the list with the
// reason, and the walk goes on with every other folder.
TEST(ExpandProgramArguments, AnUnreadableFolderIsListedWithItsReason) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no permissions for owner, group and others";
#else
  // Setup
  FolderFixture f;
  for (const char* file :
       {"anna/a.txt", "ben/b.txt", "carl/c.txt", "carl/alt/c.txt", "dora/d.txt"}) {
    fs::create_directories((f.folder / file).parent_path());
    std::ofstream(f.folder / file) << "HOLD\n";
  }
  for (const char* folder : {"ben", "carl/alt"})
    fs::permissions(f.folder / folder, fs::perms::none);

  // Run: permissions hold for the child, also when the tests run as root.
  const ChildResult r = runUnprivileged([&f](std::string& report) {
    for (const ProgramArgument& p : expandProgramArguments({f.folder.string()}).programs) {
      report += fs::path(p.file).lexically_relative(f.folder).generic_string() + " | " + p.learner +
                " | " + p.unreadable.value_or("") + "\n";
    }
    return 0;
  });
  for (const char* folder : {"ben", "carl/alt"}) {
    fs::permissions(f.folder / folder, fs::perms::owner_all);
  }

  // Verify
  EXPECT_EQ(r.exitCode, 0) << r.report;
  EXPECT_EQ(r.report,
            "anna/a.txt | anna | \n"
            "ben | ben | nicht lesbar (keine Berechtigung)\n"
            "carl/alt | carl/alt | nicht lesbar (keine Berechtigung)\n"
            "carl/c.txt | carl | \n"
            "dora/d.txt | dora | \n");
#endif
}

}  // namespace
