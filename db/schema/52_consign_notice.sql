-- Arrival notices choose the found copies still waiting by their notice date.
create index relegate_arri_noti_idx on relegate_arri_lst (relegate_noti_date) where relegate_end_flag < '3';
