// The paper of printers whose link answers (network and serial). The roll
// paper sensor is asked (DLE EOT 4) at the start and the end of every job,
// on the job's own link, and every so often while the printer is idle.
// What it says shows in printer-state-reasons, on the web page and over
// IPP: media-low when the paper is near its end, media-empty and
// media-needed when it is out. A printer that does not answer is shown
// without paper status: it is not asked during jobs, and only now and then
// while idle, so that it never holds anything up.
#ifndef KORLA_PAPER_STATUS_H
#define KORLA_PAPER_STATUS_H

#include <pappl/pappl.h>

#include <optional>
#include <string>

inline constexpr pappl_preason_t PAPER_REASONS =
    PAPPL_PREASON_MEDIA_LOW | PAPPL_PREASON_MEDIA_EMPTY | PAPPL_PREASON_MEDIA_NEEDED;

// The printer-state-reasons that an answer to DLE EOT 4 stands for; nothing
// when the byte is not a status byte.
std::optional<pappl_preason_t> PaperReasons(unsigned char status);

// Whether the printer's link carries its answers back: network and serial
// do, USB is not asked.
bool LinkAnswers(const std::string& deviceUri);

// Whether the printer did not answer when it was last asked: asking it
// again would only wait (ten seconds for a network printer).
bool KnownNotToAnswer(const std::string& deviceUri);

// Asks on the job's device, before its first byte or after its last, when
// the printer's link answered the last time it was asked.
void CheckPaperDuringJob(pappl_job_t* job, pappl_device_t* device);

// Before a job's first byte: asks as CheckPaperDuringJob does, and while the
// printer says its paper is out, the job waits, stopped, with the printer
// shown as stopped, asking again every few seconds; a receipt printed
// without paper would be lost. False when the job is cancelled meanwhile.
bool WaitForPaper(pappl_job_t* job, pappl_device_t* device);

// Asks each idle printer once every intervalSeconds, from the system's
// timer; one that did not answer, once a minute at most. With 0 no printer
// is asked, and so none during its jobs either.
void StartPaperChecks(pappl_system_t* system, int intervalSeconds);

#endif
