#include "engine/ConversionRig.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace
{

TEST(DatasetConversion, RefusesWithoutDestinationAndWhenDestinationIsTheSource)
{
    CConversionRig rig;
    rig.WriteSource("scan", 0, 3);
    CDatasetConversion& job = rig.Job();
    EXPECT_FALSE(job.CanConvert());
    EXPECT_EQ(job.GetMessage(), "Source data-set not loaded");

    // The same folder (spelt any way, through a link too), prefix and extension in any letter
    // case is the source itself; a prefix in other letters is another data set.
    std::filesystem::create_directory_symlink(rig.Path(""), rig.Path("alias"));
    for (const auto& [name, same] : std::vector<std::pair<std::string, bool>>{{"scan????.bmp", true},
                                                                              {"scan0000.BMP", true},
                                                                              {"./scan.bmp", true},
                                                                              {"alias/scan.bmp", true},
                                                                              {"scan2????.bmp", false},
                                                                              {"scan????.tif", false},
                                                                              {"sub/scan????.bmp", false},
                                                                              {"SCAN????.bmp", false}})
    {
        rig.Wire(rig.Path("scan0001.bmp"), rig.Path(name));
        EXPECT_EQ(job.CanConvert(), !same) << name;
        EXPECT_EQ(job.GetPlan(),
                  same ? CDatasetConversion::PlanSameDataset : CDatasetConversion::PlanConvert);
        EXPECT_TRUE(!same || job.GetMessage() == "Not yet implemented") << name;
    }
    // The destination's bits follow its extension in any letter case.
    EXPECT_EQ(job.GetDestinationBits(), 8);
    rig.Wire(rig.Path("scan0000.bmp"), rig.Path("q????.TIF"));
    EXPECT_EQ(job.GetDestinationBits(), 16);
    EXPECT_FALSE(job.IsSameFormat());
}

// A borrowed data set outlives the job and its holders; an owned one is released with them
// (the sanitizers report a double delete or a leak otherwise).
TEST(DatasetConversion, HoldersDeleteOnlyWhatTheyOwn)
{
    vKit::CDataset borrowed;
    {
        CDatasetConversion job;
        job.GetSource()->GetDataset()->SetPrefix("owned");
        job.GetSource()->SetDataset(&borrowed);
        CDatasetBase* holder = new CDatasetBase;
        job.SetDestination(holder);
        job.SetDestination(holder);
        delete holder;
        job.SetDestination(nullptr);
        EXPECT_NE(job.GetDestination(), nullptr);
    }
    borrowed.SetPrefix("still here");
    EXPECT_EQ(borrowed.GetPrefix(), "still here");
}

} // namespace
