// What a page image still owes the printer, kept on disk while the image
// is on its way. Once the image command has gone out the printer takes the
// announced number of bytes as rows, whatever they are: a server killed in
// the middle of an image would leave the printer swallowing the next
// receipt as image data. So the rest is recorded in a small file per
// printer in the application's folder (written when the image starts,
// updated as its rows go out, removed when it ends), and before anything
// else reaches that printer the next server sends it as blank rows,
// followed by ESC @.
#ifndef KORLA_IMAGE_DEBT_H
#define KORLA_IMAGE_DEBT_H

#include <pappl/pappl.h>

#include <cstddef>
#include <string>

class ImageDebt {
public:
    explicit ImageDebt(pappl_printer_t* printer);
    ~ImageDebt();
    ImageDebt(const ImageDebt&) = delete;
    ImageDebt& operator=(const ImageDebt&) = delete;

    // An image command is on its way to the printer's link; `bytes` bytes
    // of rows follow.
    void Start(size_t bytes);
    // `bytes` more bytes have reached the link; those beyond the image's
    // rows are none of its.
    void Paid(size_t bytes);
    bool Owing() const { return owed_ > 0; }

private:
    void Record();
    void Clear();

    std::string path_;
    int fd_ = -1;
    size_t owed_ = 0;
};

// The file that holds what an image owes the printer.
std::string ImageDebtFile(pappl_printer_t* printer);

// Whether an image left unfinished by an earlier server still owes the
// printer bytes.
bool OwesImage(pappl_printer_t* printer);

// Sends what such an image owes as blank rows, then ESC @, and clears the
// record; nothing when it owes nothing. Before any other byte of a job.
void SettleImageDebt(pappl_printer_t* printer, pappl_device_t* device);

#endif
