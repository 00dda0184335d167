// What was last stored in which printer's logo memory, kept in a file of
// the application's folder that korla-printer-app and korla-logos share:
// the digest of the job that stored the logos, so that the same set is not
// written to the printer's flash memory again for nothing, and the logos'
// sizes, for the test receipt.
//
// One line per printer: KEY <tab> DIGEST <tab> W1xH1 W2xH2 ...
#ifndef KORLA_LOGO_RECORD_H
#define KORLA_LOGO_RECORD_H

#include <optional>
#include <string>
#include <utility>
#include <vector>

inline constexpr char LOGO_RECORD_FILE[] = "stored-logos";

struct StoredLogoSet {
    std::string digest;                                // of the storing job's bytes
    std::vector<std::pair<unsigned, unsigned>> sizes;  // dots, logo 1 first
};

// The printer a device URI or a CUPS queue reaches, as the record knows
// it: a serial printer by its port, whatever the line's settings; a queue
// as "queue:NAME".
std::string LogoRecordKey(const std::string& deviceUri);
std::string QueueRecordKey(const std::string& queue);

// SHA-256 of the bytes, in hexadecimal.
std::string JobDigest(const std::vector<unsigned char>& job);

// The set that a storing job (ESC @, FS q) stores: its digest and the
// logos' sizes as FS q defines them, in whole units of 8 dots; nothing for
// bytes that are no such job.
std::optional<StoredLogoSet> SetOfStoringJob(const std::vector<unsigned char>& job);

// What the record holds for the key; nothing when it holds nothing.
std::optional<StoredLogoSet> LastStoredLogos(const std::string& file, const std::string& key);

// Records the set for the key, replacing what was there; the file is
// replaced whole, so that a reader never sees half of it.
bool RecordStoredLogos(const std::string& file, const std::string& key, const StoredLogoSet& set,
                       std::string& error);

#endif
