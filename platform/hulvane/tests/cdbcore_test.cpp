#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "core/files/paths.h"
#include "core/files/ramfile.h"
#include "platform/hulvane/cdbcore.h"
#include "platform/hulvane/librarypaths.h"
#include "platform/hulvane/tests/cdbfakes.h"
#include "platform/win/pathboundary.h"
#include "testsupport/temp_folder.h"

namespace {

using namespace cdbtest;

std::string titles(CDBCORE& core, int option, int descend, MODULE* module)
{
    std::string text;
    CDBWALKQ queue;
    for (SHEET* sheet = core.walkfirstsheet(queue, option, descend, module); sheet; sheet = core.walknextsheet(queue))
        text += (text.empty() ? "" : " ") + sheet->title;
    return text;
}

// A board with two root sheets, the master sheet, a child sheet under a sub-circuit of the first
// root sheet and a grandchild below it.
struct HIERARCHY {
    CDBCORE core;
    SHEET* master;
    SHEET* root1;
    SHEET* root2;
    SHEET* child;
    SHEET* grandchild;
    DRAWING top;
    DRAWING middle;

    HIERARCHY()
    {
        core.newdesign();
        master = core.addsheet(nullptr, 1, "master", 0);
        root1 = core.addrootsheet(2, "root1", 0);
        root2 = core.addrootsheet(3, "root2", 0);
        top.addsub("SUB1", "AMP");
        top.sync(core, root1, 0);
        child = core.addsheet(top.subcircuits[0]->bound, 4, "child", 0);
        middle.addsub("SUB2", "STAGE");
        middle.sync(core, child, 0);
        grandchild = core.addsheet(middle.subcircuits[0]->bound, 5, "grandchild", 0);
    }
};

TEST(DesignDatabase, WalksVisitTheSheetsInTheirOrder)
{
    HIERARCHY design;
    CDBCORE& core = design.core;
    MODULE* sub1 = design.child->module;
    const struct {
        int option;
        int descend;
        MODULE* module;
        const char* expected;
    } walks[] = {
        { 1, 1, nullptr, "master root1 child grandchild root2" },
        { 0, 1, nullptr, "root1 child grandchild root2" },
        { 0, 0, nullptr, "root1 root2" },
        { 1, 0, core.getroot(), "master root1 root2" },
        { 1, 1, sub1, "child grandchild" },
        { 0, 0, sub1, "child" },
    };
    for (const auto& walk : walks)
        EXPECT_EQ(titles(core, walk.option, walk.descend, walk.module), walk.expected)
            << walk.option << walk.descend;

    std::string modules;
    CDBWALKQ queue;
    for (MODULE* module = core.walkfirstmodule(queue, nullptr, 1); module; module = core.walknextmodule(queue))
        modules += module->name + "/" + std::to_string(core.getmoduledepth(module)) + " ";
    EXPECT_EQ(modules, "ROOT/0 SUB1/1 SUB2/2 ");

    std::vector<SHEET*> roots;
    EXPECT_EQ(core.getchildsheets(nullptr, roots), 2);
    EXPECT_EQ(roots[1]->instance, 2);
    EXPECT_EQ(core.getmodule(design.root1, design.top.subcircuits[0]->id, 0), sub1);
    EXPECT_EQ(sub1->parent, design.root1);
}

TEST(DesignDatabase, AWalkTakesTheChildSheetsASynchronisationMadeOnTheWay)
{
    HIERARCHY design;
    CDBCORE& core = design.core;
    DRAWING second;
    second.addsub("SUB3", "FILTER");
    std::string seen;
    CDBWALKQ queue;
    for (SHEET* sheet = core.walkfirstsheet(queue, 0, 1, nullptr); sheet; sheet = core.walknextsheet(queue)) {
        seen += sheet->title + " ";
        if (sheet == design.root2) {
            second.sync(core, sheet, 1);
            core.addsheet(second.subcircuits[0]->bound, 6, "late", 0);
        }
        if (sheet == design.root1)
            core.removesheet(design.grandchild, 0);
    }
    EXPECT_EQ(seen, "root1 child root2 late ");
}

TEST(DesignDatabase, RemovingASheetTakesItsModulesAndElementsAlong)
{
    HIERARCHY design;
    CDBCORE& core = design.core;
    DEVICE resistor("RES");
    DRAWING below;
    below.add(&resistor, "R", "10k");
    below.sync(core, design.grandchild, 0);
    ASSERT_EQ(core.numelements(), 1);
    DRAWING none;
    design.top.subcircuits.clear();
    design.top.sync(core, design.root1, 0);
    EXPECT_EQ(titles(core, 1, 1, nullptr), "master root1 root2");
    EXPECT_EQ(core.numelements(), 0);
    EXPECT_EQ(core.numparts(), 0);

    core.removesheet(design.root1, 0);
    EXPECT_EQ(design.root2->instance, 1);
    core.removesheet(design.master, 0);
    EXPECT_EQ(core.getmastersheet(), nullptr);
    EXPECT_EQ(titles(core, 1, 1, nullptr), "root2");
}

TEST(DesignDatabase, BindingGivesIdentifiersAndRewritesDuplicates)
{
    CDBCORE core;
    core.newdesign();
    SHEET* sheet = core.addrootsheet(1, nullptr, 0);
    DEVICE resistor("RES");
    DRAWING drawing;
    COMPONENT* first = drawing.add(&resistor, "R", "10k");
    drawing.add(&resistor, "R", "1k");
    EXPECT_EQ(drawing.sync(core, sheet, 0), 1) << "two references wait for annotation";
    ASSERT_NE(first->id, 0u);
    EXPECT_NE(drawing.components[1]->id, first->id);
    EXPECT_EQ(first->bound, core.getelement(first->id));

    // A block copy brings the original's identifier: the copy gets its own element.
    COMPONENT* copy = drawing.add(&resistor, "R", "10k");
    copy->id = first->id;
    drawing.sync(core, sheet, 0);
    EXPECT_NE(copy->id, first->id);
    EXPECT_EQ(first->bound, core.getelement(first->id, sheet));
    EXPECT_EQ(core.numelements(), 3);

    // An object gone from the sheet takes its element along.
    drawing.components.erase(drawing.components.begin() + 1);
    drawing.sync(core, sheet, 0);
    EXPECT_EQ(core.numelements(), 2);

    // Pasted on another sheet, an object keeps no identifier an element elsewhere holds.
    SHEET* other = core.addrootsheet(2, nullptr, 0);
    DRAWING pasted;
    COMPONENT* paste = pasted.add(&resistor, "R", "10k");
    paste->id = first->id;
    pasted.sync(core, other, 4);
    EXPECT_NE(paste->id, first->id);
    EXPECT_EQ(core.getelement(first->id)->sheet, sheet);
}

TEST(DesignDatabase, EachSheetOfASharedCircuitKeepsItsOwnReferences)
{
    CDBCORE core;
    core.newdesign();
    ANNOTATOR annotator;
    SHEET* a = core.addrootsheet(7, "a", 0);
    SHEET* b = core.addrootsheet(7, "b", 0);
    DEVICE resistor("RES");
    DRAWING shared;
    COMPONENT* r = shared.add(&resistor, "R", "10k");

    shared.select(core, a, &annotator);
    EXPECT_EQ(r->ref, "R1");
    shared.store(core, a);
    shared.select(core, b, &annotator);
    EXPECT_EQ(r->ref, "R2");
    shared.store(core, b);
    shared.select(core, a, &annotator);
    EXPECT_EQ(r->ref, "R1");
    EXPECT_EQ(core.numelements(), 2);
    EXPECT_NE(core.getelement(r->id, a), core.getelement(r->id, b));
}

// Two sheets of one board, each with a resistor and a gate of a quad package.
struct TWOSHEETS {
    CDBCORE core;
    ANNOTATOR annotator;
    DEVICE resistor { "RES" };
    DEVICE gates { "7400" };
    SHEET* one;
    SHEET* two;
    DRAWING first;
    DRAWING second;

    TWOSHEETS()
    {
        core.newdesign();
        one = core.addrootsheet(1, "one", 0);
        two = core.addrootsheet(2, "two", 0);
        for (DRAWING* drawing : { &first, &second }) {
            drawing->add(&resistor, "R", "10k");
            drawing->add(&gates, "U", "7400", 4);
        }
    }
    void visit()
    {
        first.select(core, one, &annotator);
        first.store(core, one);
        second.select(core, two, &annotator);
        second.store(core, two);
    }
};

TEST(Annotator, SelectingSheetsAnnotatesIncrementallyAcrossThem)
{
    TWOSHEETS design;
    design.visit();
    EXPECT_EQ(design.first.refs(), "R1 U1:A");
    EXPECT_EQ(design.second.refs(), "R2 U1:B");
    EXPECT_EQ(design.core.numparts(), 3);
    EXPECT_EQ(design.core.findpart(design.one, "U1")->elements.size(), 2u);

    // A new resistor takes the lowest free number; a third gate fills the package.
    design.first.add(&design.resistor, "R", "1k");
    design.first.add(&design.gates, "U", "7400", 4);
    design.visit();
    EXPECT_EQ(design.first.refs(), "R1 U1:A R3 U1:C");
}

TEST(Annotator, TotalAnnotationNumbersTheBoardAfresh)
{
    TWOSHEETS design;
    design.visit();
    design.first.select(design.core, design.one);
    design.first.components[1]->ref = "U4:D";
    design.first.store(design.core, design.one);
    design.second.select(design.core, design.two);
    design.second.components[0]->ref = "R7";
    design.second.store(design.core, design.two);
    ASSERT_EQ(design.second.refs(), "R7 U1:B");

    design.first.select(design.core, design.one);
    design.annotator.globalannotate(design.core.getroot(), ANNOTATOR::TOTAL, 1);
    design.core.loadsheet(design.one);
    EXPECT_EQ(design.first.refs(), "R1 U1:A");
    design.first.store(design.core, design.one);
    EXPECT_TRUE(design.core.getelement(design.second.components[0]->id)->pending);
    design.second.select(design.core, design.two, &design.annotator);
    EXPECT_EQ(design.second.refs(), "R2 U1:B") << "the renamed records go into the objects";

    // From a start count of 10, and on one sheet alone.
    design.second.store(design.core, design.two);
    design.annotator.globalannotate(design.core.getroot(), ANNOTATOR::TOTAL, 10);
    design.first.select(design.core, design.one);
    EXPECT_EQ(design.first.refs(), "R10 U10:A");
    design.annotator.localannotate(design.one, ANNOTATOR::TOTAL, 20);
    design.core.loadsheet(design.one);
    EXPECT_EQ(design.first.refs(), "R20 U10:A") << "the gate fills the package the other sheet uses";
}

TEST(Annotator, ProcessRewritesReferencesByMode)
{
    TWOSHEETS design;
    design.first.components[0]->ref = "R3";
    design.visit();
    ASSERT_EQ(design.second.refs(), "R1 U1:B");

    const struct {
        const char* prefix;
        const char* reference;
        const char* value;
        int elements;
        int mode;
        const char* expected;
    } cases[] = {
        { nullptr, "R?", "1k", 1, ANNOTATOR::INCREMENTAL, "R2" },
        { nullptr, "R?", "1k", 1, ANNOTATOR::PASTED, "R4" },
        { nullptr, "R5", "1k", 1, ANNOTATOR::INCREMENTAL, "R5" },
        { nullptr, "R3", "1k", 1, ANNOTATOR::TOTAL, "R2" },
        { nullptr, "U?:A", "7400", 4, ANNOTATOR::INCREMENTAL, "U1:C" },
        { nullptr, "U?:A", "74HC00", 4, ANNOTATOR::INCREMENTAL, "U2:A" },
        { nullptr, "U?:C", "7400", 0, ANNOTATOR::INCREMENTAL, "U1:C" },
        { nullptr, "U?:B", "7400", 0, ANNOTATOR::INCREMENTAL, "U2:B" },
        { "C", "?", "", 1, ANNOTATOR::INCREMENTAL, "C1" },
        { nullptr, "R1A", "", 1, ANNOTATOR::INCREMENTAL, "R1A" },
        { nullptr, "", "", 1, ANNOTATOR::INCREMENTAL, "" },
    };
    for (const auto& c : cases) {
        design.annotator.initialize(c.prefix, design.one);
        char reference[CDBNAMESIZE];
        std::strcpy(reference, c.reference);
        design.annotator.process(reference, c.value, c.elements, c.mode);
        EXPECT_STREQ(reference, c.expected) << c.reference << " mode " << c.mode;
    }

    // Several references in one run never meet.
    design.annotator.initialize(nullptr, design.one);
    std::string run;
    for (int i = 0; i < 3; ++i) {
        char reference[CDBNAMESIZE] = "R?";
        design.annotator.process(reference, "1k", 1, ANNOTATOR::INCREMENTAL);
        run += std::string(reference) + " ";
    }
    EXPECT_EQ(run, "R2 R4 R5 ");

    char name[CDBNAMESIZE];
    design.annotator.initialize("U", design.one);
    ASSERT_EQ(design.annotator.nextfreename(name, sizeof name), 1);
    EXPECT_STREQ(name, "U2:A");
    design.annotator.initialize(nullptr, design.one);
    EXPECT_EQ(design.annotator.nextfreename(name, sizeof name), 0);
}

TEST(DesignDatabase, AClashingReferenceIsTakenFromTheNewcomer)
{
    TWOSHEETS design;
    DEVICE capacitor("CAP");
    design.first.components[0]->ref = "R1";
    design.second.components[0]->ref = "R1";
    design.first.store(design.core, design.one);
    EXPECT_EQ(design.second.sync(design.core, design.two, 0), 1);
    EXPECT_EQ(design.second.components[0]->ref, "R?");

    // The same name for another device, or a letter another gate holds, clashes too.
    design.second.components[0]->ref = "U1:A";
    design.second.components[0]->device = &capacitor;
    design.first.components[1]->ref = "U1:A";
    design.second.components[1]->ref = "U1:A";
    design.first.store(design.core, design.one);
    design.second.store(design.core, design.two);
    EXPECT_EQ(design.second.refs(), "R? U?:A");

    // With local references each board counts its own.
    BOARD* board = design.core.addboard();
    design.core.setlocalids(board, 1);
    SHEET* other = design.core.addrootsheet(3, nullptr, 0);
    DRAWING third;
    third.add(&design.resistor, "R", "10k")->ref = "R1";
    EXPECT_EQ(third.sync(design.core, other, 0), 0);
    EXPECT_EQ(third.refs(), "R1");
    design.core.setlocalids(board, 0);
    EXPECT_EQ(design.core.getelement(third.components[0]->id)->name, "R?");
}

TEST(DesignDatabase, RenamesAndRebindsMoveElementsBetweenParts)
{
    TWOSHEETS design;
    design.visit();
    CDBCORE& core = design.core;
    PART* u1 = core.findpart(design.one, "U1");
    ASSERT_NE(u1, nullptr);
    ASSERT_EQ(core.renamepart(u1, "U5"), 1);
    EXPECT_EQ(core.getelement(design.second.components[1]->id)->name, "U5:B");

    ELEMENT* a = core.getelement(design.first.components[1]->id);
    ELEMENT* b = core.getelement(design.second.components[1]->id);
    ASSERT_EQ(core.rebindelement(a, "U5:B"), 1);
    EXPECT_EQ(a->name, "U5:B");
    EXPECT_EQ(b->name, "U5:A");
    EXPECT_EQ(a->part, b->part);

    // A part renamed to a name in use takes it; the other part's elements lose theirs.
    ASSERT_EQ(core.renamepart(core.findpart(design.one, "R1"), "R2"), 1);
    EXPECT_EQ(core.getelement(design.first.components[0]->id)->name, "R2");
    EXPECT_EQ(core.getelement(design.second.components[0]->id)->name, "R?");
    EXPECT_EQ(core.renamepart(u1, "U?"), 0);

    ASSERT_EQ(core.setelementproperty(b, "FITTED", "NO", 4), 1);
    EXPECT_NE(b->part->props.find("FITTED=NO"), std::string::npos);
    const int loads = design.second.components[1]->loads;
    design.second.select(core, design.two, &design.annotator);
    EXPECT_EQ(design.second.components[1]->ref, "U5:A");
    EXPECT_GT(design.second.components[1]->loads, loads);
}

TEST(DesignDatabase, DevicesAndTagsAreCountedOverEveryElement)
{
    TWOSHEETS design;
    design.visit();
    CDBCORE& core = design.core;
    EXPECT_EQ(core.getdeviceinstances(&design.resistor), 2);
    DEVICE other("RES_SMD");
    core.replacedevice(&design.resistor, &other);
    EXPECT_EQ(core.getdeviceinstances(&design.resistor), 0);
    EXPECT_EQ(core.getdeviceinstances(&other), 2);

    EXPECT_EQ(core.tagelement(design.first.components[0]->id), 1);
    EXPECT_EQ(core.tagelement(999999), 0);
    EXPECT_TRUE(core.getelement(design.first.components[0]->id)->tagged);
    core.cleartags();
    EXPECT_FALSE(core.getelement(design.first.components[0]->id)->tagged);

    ELEMENT* found = core.findelement(nullptr, "u1:b");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->sheet, design.two);
}

TEST(DesignDatabase, ClipsGroupTheirTaggedElementsAndKeepTheirMaps)
{
    TWOSHEETS design;
    design.visit();
    CDBCORE& core = design.core;
    SNIPPET* clip = core.addsnippet(design.one);
    std::ostringstream errors;
    EXPECT_EQ(core.bindsnippet(clip, 1, 0, errors), 0);
    EXPECT_NE(errors.str().find("No element"), std::string::npos);

    for (auto& component : design.first.components)
        core.tagelement(component->id);
    ASSERT_EQ(core.bindsnippet(clip, 1, 0, errors), 1);
    std::vector<ELEMENT*> grouped;
    EXPECT_EQ(core.getsnippetelements(clip, grouped), 2);
    EXPECT_EQ(core.bindsnippet(core.addsnippet(design.one), 1, 0, errors), 0) << "an element is one clip's";

    RAMFILE map;
    ASSERT_EQ(core.savebindings(clip, map), 1);
    SNIPPET* copy = core.addsnippet(design.two, clip);
    map.rewind();
    ASSERT_EQ(core.loadbindings(copy, map), 1);
    ASSERT_EQ(copy->bindings.size(), 2u);
    EXPECT_EQ(copy->bindings[1].first, "U1:A");
    EXPECT_EQ(copy->bindings[1].second, design.first.components[1]->id);
    std::vector<SNIPPET*> siblings;
    EXPECT_EQ(core.getsiblings(copy, siblings), 1);
    EXPECT_EQ(siblings[0], clip);

    for (const char* damaged : { "", "VKTBINDINGS 2\n", "VKTBINDINGS 1\nx R1\n", "VKTBINDINGS 1\n0 R1\n",
             "VKTBINDINGS 1\n12\n", "VKTBINDINGS 1\n99999999999 R1\n" }) {
        RAMFILE file;
        file.write(damaged, static_cast<int>(std::strlen(damaged)));
        file.rewind();
        EXPECT_EQ(core.loadbindings(copy, file), 0) << damaged;
        EXPECT_EQ(copy->bindings.size(), 2u);
    }

    core.tidysnippets();
    EXPECT_EQ(core.numsnippets(), 1) << "only the clip with elements stays";
    core.removesnippet(clip, 0);
    EXPECT_EQ(core.numsnippets(), 0);
    EXPECT_EQ(core.getelement(design.first.components[0]->id)->snippet, nullptr);
}

TEST(DesignDatabase, BoardsAreRootModulesOneOfThemCurrent)
{
    CDBCORE core;
    core.newdatabase("ROOT.CDB");
    EXPECT_EQ(core.numboards(), 0);
    core.newlayout();
    core.newlayout();
    ASSERT_EQ(core.numboards(), 1);
    EXPECT_EQ(core.currentboard()->stem, "ROOT");
    BOARD* second = core.addboard();
    EXPECT_EQ(second->stem, "BOARD2");
    EXPECT_EQ(core.currentboardindex(), 1);
    int refreshed = 0;
    core.onrefresh = [&](int flag) { refreshed = flag; };
    core.selectroot(core.getboard(0)->module);
    core.refresh(1);
    EXPECT_EQ(refreshed, 1);
    EXPECT_EQ(core.currentboardindex(), 0);
    core.selectboard(2);
    EXPECT_EQ(core.currentboardindex(), 0) << "an index that names no board changes nothing";
    core.selectboard(1);
    EXPECT_EQ(core.currentboard(), second);
    core.selectboard(0);
    core.removeboard(0);
    EXPECT_EQ(core.currentboard(), second);
    EXPECT_EQ(core.getboard(second->module), second);
    core.removeboard(1);
    EXPECT_EQ(core.numboards(), 1);
    core.newdesign();
    EXPECT_EQ(core.numboards(), 1) << "a new design keeps the boards";
}

TEST(DesignDatabase, VariantsAndTheirIndexes)
{
    CDBCORE core;
    for (char letter : { 'a', 'z', '1', '\0', '[' }) {
        core.selectvariant('A');
        core.selectvariant(letter);
        EXPECT_EQ(core.getvariant(), 'b') << int(letter);
    }
    EXPECT_EQ(varianttomask('A'), 1u);
    EXPECT_EQ(varianttomask('C'), 4u);
    EXPECT_EQ(varianttomask('b'), 0u);
    EXPECT_EQ(indextovariant(0), 'b');
    EXPECT_EQ(indextovariant(3), 'C');
    EXPECT_EQ(indextovariant(27), 'b');
    EXPECT_EQ(varianttoindex('C'), 3);
    EXPECT_EQ(varianttoindex('b'), 0);
}

TEST(DesignDatabase, TheProcessHoldsOneDatabase)
{
    ASSERT_EQ(getcdb(), nullptr);
    CDBCORE* first = createcdb();
    CDBCORE* second = createcdb();
    EXPECT_EQ(first, second);
    EXPECT_EQ(getcdb(), first);
    releasecdb(first);
    EXPECT_EQ(getcdb(), first);
    releasecdb(second);
    EXPECT_EQ(getcdb(), nullptr);
}

TEST(LibraryPaths, PropertyDefinitionsAreFoundAlongTheLibraryFoldersOnly)
{
    auto first = vkt::test::makeTempSubfolder("first");
    auto second = vkt::test::makeTempSubfolder("second");
    std::ofstream(second / "PROPDEFS.INI") << "VERSION=8\n";
    std::string list = towindowspath(first.string()) + ";;" + towindowspath(second.string());
    std::strcpy(library_paths, list.c_str());
    char path[PATHBUFFER];
    ASSERT_EQ(findpropdefs(path), 1);
    EXPECT_EQ(toposixpath(path), (second / "PROPDEFS.INI").string());

    std::strcpy(library_paths, towindowspath(first.string()).c_str());
    EXPECT_EQ(findpropdefs(path), 0);
    EXPECT_STREQ(path, "");
}

} // namespace
