// Drop-down lists with values, the file dialog conventions, the data set's open dialog and the
// start-up facts (the save dialog is checked through the main dialog).

#include "FakeWindow.h"

#include "app/ComboBoxExt.h"
#include "app/DatasetDialogs.h"
#include "app/FileDialogST.h"
#include "app/KavexApp.h"

#include <gtest/gtest.h>

namespace
{
constexpr int32_t kList = 1019;

struct CChangeCounter
{
    int32_t count = 0;
    int32_t lastValue = 0;
    void OnChanged(vKit::CComboBoxExt* list)
    {
        ++count;
        lastValue = list->GetSelectedValue();
    }
};

} // namespace

TEST(ComboBoxExt, RefillsKeepTheChoiceAndUserChoicesRaiseOnChangedWithTheValue)
{
    CFakeWindow window;
    vKit::CComboBoxExt list(window, kList);
    for (const auto& [text, value] :
         {std::pair<const char*, int32_t>{"No resizing", 1}, {"1/2", 2}, {"1/4", 4}})
        list.AddItem(text, value);
    CChangeCounter counter;
    list.OnChanged.Subscribe(&counter, &CChangeCounter::OnChanged);
    list.SelectByValue(4);
    list.Fill();
    EXPECT_EQ(std::make_pair(counter.count, counter.lastValue), std::make_pair(1, 4));
    EXPECT_EQ(window.SelectedText(kList), "1/4");
    list.SelectByValue(3); // an unknown value leaves no selection
    EXPECT_EQ(std::make_pair(list.GetSelectedIndex(), window.lists[kList].selected), std::make_pair(-1, -1));

    window.UserSelects(kList, "1/2");
    list.OnSelectionChanged();
    EXPECT_EQ(std::make_pair(counter.count, counter.lastValue), std::make_pair(2, 2));
    list.OnChanged.Unsubscribe(&counter, &CChangeCounter::OnChanged);
}

TEST(FileDialogST, FiltersTranslateToNameFiltersWithBothLetterCases)
{
    const std::string filter = "Supported files (*.bmp,*.tif)|*.bmp;*.tif|All Files (*.*)|*.*|";
    const std::vector<std::string> names = CFileDialogST::ToNameFilters(filter);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], "Supported files (*.bmp,*.tif) (*.bmp *.BMP *.tif *.TIF)");
    EXPECT_EQ(names[1], "All Files (*.*) (*)");

    EXPECT_EQ(CFileDialogST::ParseFilter("Bmp|*.bmp").size(), 1u); // closing bar missing
    EXPECT_TRUE(CFileDialogST::ParseFilter("No patterns||").empty());
}

TEST(DatasetDialogs, LoadAsksAgainUntilThePickNamesADataSet)
{
    CFakeWindow window;
    vKit::CDataset dataset;
    window.dialogAnswers = {"/scans/rec/rec_cfg.txt", "/scans/rec/rec0042.bmp"};
    EXPECT_EQ(DatasetDialogs::LoadDialog(dataset, "/scans", "", "", -1, &window), 1);
    ASSERT_EQ(window.requests.size(), 2u);
    EXPECT_EQ(window.requests[0].strTitle, "Loading data set");
    EXPECT_TRUE(window.requests[0].bOpen);
    EXPECT_EQ(window.requests[0].strInitialFolder, "/scans");
    EXPECT_EQ(dataset.GetFolder() + "|" + dataset.GetPrefix() + "|" + dataset.GetExtension(),
              "/scans/rec|rec|bmp");
    EXPECT_FALSE(dataset.IsInLoadDialog());

    window.dialogAnswers = {""};
    EXPECT_EQ(DatasetDialogs::LoadDialog(dataset, "/scans", "", "", -1, &window), 0);
    EXPECT_FALSE(dataset.IsInLoadDialog());
}

TEST(KavexApp, CommandLinePathAndHelpLocation)
{
    EXPECT_EQ(KavexApp::SourcePathFromArguments({}), "");
    EXPECT_EQ(KavexApp::SourcePathFromArguments({"/scans/my", "rec0000.bmp"}), "/scans/my rec0000.bmp");
    EXPECT_EQ(KavexApp::HelpFilePath("/opt/kavex/bin/kavex"), "/opt/kavex/share/doc/kavex/help/Main.htm");
}
