#pragma once

#include <QString>

// How a builder says that it stopped part way: it still returns what it
// built up to the failure, and `problem` says why it stopped (a text for the
// user, never empty when set). An empty problem means the result is whole.
struct PartialResult {
    QString problem;
    bool complete() const { return problem.isEmpty(); }
    // Records why the builder stopped. The first reason is kept: a later
    // failure is a consequence of it.
    void stop(const QString& reason)
    {
        if (problem.isEmpty())
            problem = reason;
    }
};
