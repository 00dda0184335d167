// In-process tests of the driver object: a private PPD named by $PPD, and
// the printer's writes captured from standard output.
#ifndef KORLA_TESTS_DRIVER_FIXTURE_H
#define KORLA_TESTS_DRIVER_FIXTURE_H

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

#include "RasterToKORLA.h"
#include "ppd_writer.h"
#include "printer_capture.h"
#include "temp_dir.h"

class DriverTest : public ::testing::Test {
protected:
    void SetUp() override { unsetenv("PPD"); }
    void TearDown() override { unsetenv("PPD"); }

    // Writes the queue PPD with these options and names it in $PPD.
    void UsePpd(const std::vector<PpdOption>& options)
    {
        WritePpd((dir / "queue.ppd"), options);
        setenv("PPD", (dir / "queue.ppd").c_str(), 1);
    }

    // Runs the operation and returns what it sent to the printer.
    Writes Capture(const std::function<void(RasterToKORLA&)>& operation)
    {
        StdoutCapture capture;
        operation(driver);
        return capture.Stop();
    }

    TempDir dir;
    RasterToKORLA driver;
};

#endif
