#pragma once

#include <QString>

namespace orvella {

// Outcome of a file service: success, or the reason it failed in words a user can read.
struct OpResult {
    bool ok = true;
    QString error;

    static OpResult success() { return {}; }
    static OpResult failure(QString reason) { return {false, std::move(reason)}; }
    explicit operator bool() const { return ok; }
};

} // namespace orvella
