#pragma once

#include "database.h"

namespace kx47
{

// A group of changes to one database that is stored as a whole or not at all. It is opened for
// writing at once (BEGIN IMMEDIATE), so that what is read inside it (the award rules, the next
// QSO number) still holds when it is written. Unless commit() is reached the changes are rolled
// back, also when a failure leaves by exception.
class Transaction
{
public:
    explicit Transaction(const Database &db) : m_db(db) { m_db.beginTransaction(); }
    ~Transaction()
    {
        if (!m_committed)
            m_db.rollback();
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit()
    {
        m_db.commit();
        m_committed = true;
    }

private:
    const Database &m_db;
    bool m_committed = false;
};

} // namespace kx47
