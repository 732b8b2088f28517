#include "tree/callers.h"

#include <gtest/gtest.h>

#include <fstream>

#include "testsupport/temp_folder.h"

namespace {

using vkt::tree::declaredfunctions;
using vkt::tree::uncalledfunctions;

void write(const std::filesystem::path& file, const std::string& text)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

const char* const layerheader = R"(#pragma once
// Callers: the program.
int used(int a);
int unused(int a);
// Called by nothing yet.
// Callers to come: the view windows (issue 55).
int later(int a);
// Replaces the clock. A seam for
// tests, which run on a clock of their own.
void seam();
int spare(); // for the editors' loops (issue 56)
struct RECORD {
    int member(int a);
};
constexpr int LIMIT = 3;
#define TWICE(x) ((x) * 2)
extern "C" {
int exported(void);
}
namespace win {
int wrapped();
}
inline int inlined(int a)
{
    return a;
}
template <class T> T widened(T value);
)";

TEST(Callers, DeclaredFunctionsAreTheNamespaceScopeOnes)
{
    EXPECT_EQ(declaredfunctions(layerheader), (std::vector<std::string> { "used", "unused", "later", "seam",
                                                  "spare", "exported", "wrapped", "inlined", "widened" }));
    EXPECT_EQ(declaredfunctions("int f(int a)\n{\n    return g(a);\n}\nstatic int counter = h(1);\n"),
        std::vector<std::string> { "f" });
}

TEST(Callers, AFunctionNoProductSourceCallsIsListed)
{
    const std::filesystem::path top = vkt::test::makeTempSubfolder("callers");
    write(top / "layer/layer.h", layerheader);
    write(top / "layer/layer.cpp",
        "#include \"layer/layer.h\"\nint used(int a) { return a; }\nint unused(int a) { return used(a); }\n"
        "int later(int a) { return a; }\nvoid seam() {}\nint exported(void) { return 0; }\n"
        "namespace win {\nint wrapped() { return 1; }\n}\n");
    write(top / "layer/sub/other.h", "int elsewhere();\n");
    write(top / "app/main.cpp",
        "#include \"layer/layer.h\"\n// wrapped() in a comment\nint main() { const char* s = \"inlined\";\n"
        "    return used(exported()) + RECORD().member(1) + widened(2); }\n");
    write(top / "app/tests/main_test.cpp", "int t() { return unused(1) + wrapped(); }\n");
    std::vector<std::string> names;
    for (const auto& uncalled : uncalledfunctions(top, "layer/", { "layer/sub/" })) {
        EXPECT_EQ(uncalled.header, "layer/layer.h");
        names.push_back(uncalled.name);
    }
    // A call from inside the layer counts (unused calls used); one from a test does not.
    EXPECT_EQ(names, (std::vector<std::string> { "inlined", "unused", "wrapped" }));
}

TEST(Callers, ThePlatformLayerHoldsOnlyWhatIsCalled)
{
    std::vector<std::string> uncalled;
    for (const auto& function : uncalledfunctions(VKT_SOURCE_TOP, "platform/win/", { "platform/win/rc/" }))
        uncalled.push_back(function.header + ": " + function.name);
    EXPECT_EQ(uncalled, std::vector<std::string> {});
}

} // namespace
