#pragma once

#include <QIODevice>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QFileDevice;

namespace axlewise {

// The one way every command writes what it makes: to the file named with -o,
// or to standard output.
//
// - An output that is the same file as one of the inputs (same device and
//   inode, so other spellings and links are caught) is refused before anything
//   is written.
// - A regular file, or a symbolic link to one, or a name that does not exist
//   yet, is written through QSaveFile: the link is followed, the file's
//   permissions are kept, and the file is replaced only by commit(), once
//   complete. Until then SIGHUP, SIGINT, SIGPIPE and SIGTERM remove the
//   temporary before the program dies of the signal.
// - Anything else (a named pipe, a character device, standard output) is
//   written into directly and never replaced.
// - Every write, the flush and the close are checked; the first failure is kept
//   and commit() reports it.
class SafeOutput {
public:
    // path: the file given with -o; none for standard output. inputs: the files
    // the command reads. Raises RuntimeError 75 (path/file access error) when
    // the output is one of the inputs ("is also an input file; not replaced")
    // or cannot be opened (the system's reason). Opening a named pipe waits
    // for its reader, as any writer of one does.
    SafeOutput(const std::optional<std::string>& path, const std::vector<std::string>& inputs);
    // Without commit() a replaced file stays as it was and the temporary goes.
    ~SafeOutput();
    SafeOutput(const SafeOutput&) = delete;
    SafeOutput& operator=(const SafeOutput&) = delete;

    // The output as messages name it: the path as DisplayName shows it, or
    // "standard output".
    const std::string& name() const { return name_; }

    // For writers that want a device (QImage::save). Failures of writes made
    // through it are seen by commit() too.
    QIODevice& device();

    // Writes all of bytes; false once any write has failed (what follows a
    // failure is dropped).
    bool write(std::string_view bytes);

    // The reason of the first write that failed so far (through write() or
    // device()), if one did.
    const std::optional<std::string>& failure();

    // Flushes and closes the output; a file written through QSaveFile is put in
    // place. Raises RuntimeError 75 with the reason of the first failure (of a
    // write, the flush, the close or the renaming); then nothing was replaced.
    void commit();

private:
    // The reason of the first failure, taken from the device.
    void fail();

    std::string name_;
    std::unique_ptr<QFileDevice> file_;
    bool replacing_ = false;  // file_ is a QSaveFile
    bool committed_ = false;
    std::optional<std::string> failure_;
};

// Run first in main: standard input, output and error that are closed are
// held by descriptors that cannot be written, so that no file the program
// opens takes their numbers, and writing to a closed standard output fails
// instead of landing in another file.
void HoldStandardStreams();

}  // namespace axlewise
