-- Searches of the find desk and the return management: the pick list by
-- request date, the found list by arrival date.
create index relegate_lst_date_idx on relegate_lst (relegate_date);
create index relegate_arri_date_idx on relegate_arri_lst (relegate_arri_date);
