#pragma once

#include "platform/Registry.h"

#include <QSet>
#include <QStringList>

// A registry for tests: exactly the keys the test registers can be opened, spelled as given.
// Every key asked for is recorded.
class FakeRegistry final : public Registry {
public:
    void registerKey(const QString& key) { m_keys.insert(key); }
    QStringList queries() const { return m_queries; }

    bool canOpen(const QString& classesRootKey) const override
    {
        m_queries.append(classesRootKey);
        return m_keys.contains(classesRootKey);
    }

private:
    QSet<QString> m_keys;
    // Recording a question does not change what the registry answers.
    mutable QStringList m_queries;
};
