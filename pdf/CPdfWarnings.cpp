#include "pdf/CPdfWarnings.h"

void CPdfWarnings::Add(std::string text) {
    if (m_items.size() < m_cap) {
        m_items.push_back(std::move(text));
    } else {
        ++m_dropped;
    }
}

void CPdfWarnings::Append(const CPdfWarnings& other) {
    for (const std::string& text : other.m_items) Add(text);
    m_dropped += other.m_dropped;
}

void CPdfWarnings::Clear() {
    m_items.clear();
    m_dropped = 0;
}

std::string CPdfWarnings::Text() const {
    std::string text;
    for (const std::string& item : m_items) text += "warning: " + item + "\n";
    if (m_dropped > 0) text += "warning: " + std::to_string(m_dropped) + " more not listed\n";
    return text;
}

std::vector<std::string> CPdfWarnings::Lines() const {
    std::vector<std::string> lines = m_items;
    if (m_dropped > 0) lines.push_back(std::to_string(m_dropped) + " more not listed");
    return lines;
}
