// In-process tests of the receipt engine and the filter's driver: a private
// PPD named by $PPD, read as the filter reads it, and the printer's writes
// captured from standard output.
#ifndef KORLA_TESTS_DRIVER_FIXTURE_H
#define KORLA_TESTS_DRIVER_FIXTURE_H

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

#include "RasterToKORLA.h"
#include "filter_const.h"
#include "ppd_writer.h"
#include "printer_capture.h"
#include "queue_settings.h"
#include "receipt_engine.h"
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

    // The settings of the PPD named by $PPD.
    static ReceiptSettings Settings() { return ReadQueueSettings(getenv("PPD")).value_or(ReceiptSettings{}); }

    // Runs the operation on a receipt engine with the settings of the PPD
    // named by $PPD (none when it cannot be read) and returns what it sent
    // to the printer.
    static Writes Capture(const std::function<void(ReceiptEngine&)>& operation)
    {
        StdoutCapture capture;
        FdPrinterChannel printer(PRINTER_PIPE);
        ReceiptEngine engine(ReadQueueSettings(getenv("PPD")), printer);
        operation(engine);
        return capture.Stop();
    }

    TempDir dir;
};

#endif
