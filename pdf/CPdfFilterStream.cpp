#include "pdf/CPdfFilterStream.h"

#include "pdf/CPdfException.h"

CPdfFilterStream::CPdfFilterStream(CPdfStream* source, size_t decodeLimit)
    : m_source(source), m_limit(decodeLimit) {}

int CPdfFilterStream::Underflow(bool consume) {
    m_next = m_end = nullptr;
    while (!m_ended) {
        m_block.clear();
        if (!Decode(m_block)) {
            m_ended = true;
            break;
        }
        if (m_block.empty()) continue;
        m_delivered += m_block.size();
        if (m_delivered > m_limit) {
            m_ended = true;
            throw CPdfException(pdfmsg::kDecodeLimit);
        }
        m_next = m_block.data();
        m_end = m_next + m_block.size();
        return consume ? *m_next++ : *m_next;
    }
    return -1;
}
