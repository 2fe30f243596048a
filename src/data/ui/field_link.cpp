#include "data/ui/field_link.h"

#include "data/field_access.h"

namespace lagrull {

void FieldLink::bind(data::TOrvTable* table, std::string field,
                     std::function<void(const std::string&)> show) {
    unbind();
    table_ = table;
    field_ = std::move(field);
    show_ = std::move(show);
    if (!table_) return;
    subscription_ = table_->subscribe([this](data::TableEvent e) {
        if (e == data::TableEvent::Destroyed) {
            table_ = nullptr;
            refresh();
        } else if (!writing_) {
            refresh();
        }
    });
    refresh();
}

void FieldLink::unbind() {
    subscription_.reset();
    table_ = nullptr;
}

bool FieldLink::hasRecord() const {
    return table_ && table_->active() && (table_->editing() || table_->recordCount() > 0);
}

std::string FieldLink::read() const {
    if (!hasRecord()) return {};
    return data::FieldText(*table_, field_);
}

bool FieldLink::write(const std::string& text) {
    if (!table_ || !table_->active()) return false;
    writing_ = true;
    try {
        if (!table_->editing()) table_->edit();
        data::SetFieldText(*table_, field_, text);
    } catch (...) {
        writing_ = false;
        throw;
    }
    writing_ = false;
    return true;
}

int FieldLink::width() const {
    if (!table_ || !table_->active()) return 0;
    const int i = table_->findField(field_);
    if (i < 0) return 0;
    const auto& f = table_->field(i);
    return f.type == data::FieldType::String ? f.size : 0;
}

void FieldLink::refresh() {
    if (show_) show_(read());
}

}  // namespace lagrull
